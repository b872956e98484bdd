#include "cli/ConsoleMessages.h"

#include <iostream>

namespace vantrel::cli {

void ConsoleMessages::Tell(const std::string& text, MessageStyle /*style*/) {
  texts_.push_back(text);
  if (!print_) return;
  line_.Finish();
  std::cout << text << '\n' << std::flush;
}

void ConsoleMessages::Remark(const std::string& text) {
  line_.Finish();
  std::cerr << "vantrel-cli: " << text << '\n';
}

}  // namespace vantrel::cli
