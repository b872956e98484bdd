#pragma once
// The text of an error a container library hands back, and the error freed.

#include <array>
#include <string>

namespace vantrel {

// sprint and release are the library's own error_sprint and error_free.
template <typename Error, typename Sprint, typename Release>
std::string TakeLibraryError(Error*& error, Sprint sprint, Release release) {
  if (error == nullptr) return "unknown error";
  std::array<char, 512> text{};
  const int length = sprint(error, text.data(), text.size());
  release(&error);
  error = nullptr;
  if (length <= 0) return "unknown error";
  std::string message(text.data());
  // The libraries chain their messages, innermost last, one a line: the last says most.
  while (!message.empty() && (message.back() == '\n' || message.back() == '.')) message.pop_back();
  const auto lastLine = message.rfind('\n');
  return lastLine == std::string::npos ? message : message.substr(lastLine + 1);
}

}  // namespace vantrel
