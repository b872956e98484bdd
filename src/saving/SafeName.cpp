#include "saving/SafeName.h"

#include "base/NameDecoder.h"

namespace vantrel {

namespace {

// The longest prefix of at most `bytes` bytes that ends on a character boundary.
std::string CutTo(std::string name, std::size_t bytes) {
  if (name.size() <= bytes) return name;
  std::size_t end = bytes;
  while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
  name.resize(end);
  return name;
}

bool RefusedOnSomeDestinations(char c) {
  return c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|' || c == '\\';
}

}  // namespace

std::string HoldableName(std::string_view name) {
  if (name.empty() || name == ".") return "_";
  if (name == "..") return "__";
  std::string holdable(name);
  for (char& c : holdable)
    if (c == '/' || c == '\0') c = '_';
  return CutTo(std::move(holdable), kMaxNameBytes);
}

std::string SafeName(std::string_view name) {
  std::string safe = HoldableName(name);
  for (char& c : safe)
    if (RefusedOnSomeDestinations(c)) c = '_';
  return safe;
}

std::string Utf8SafeName(std::string_view name) {
  std::string safe = SafeName(name);
  for (std::size_t at = 0; at < safe.size();) {
    const std::size_t length = Utf8CharacterLength(safe, at);
    if (length == 0) safe[at++] = '_';
    else at += length;
  }
  return safe;
}

std::string NumberedName(const std::string& name, unsigned n) {
  const std::string suffix = " (" + std::to_string(n) + ")";
  std::size_t dot = name.rfind('.');
  if (dot == 0 || dot == std::string::npos) dot = name.size();
  std::string extension = name.substr(dot);
  if (extension.size() + suffix.size() > kMaxNameBytes / 2) extension.clear(), dot = name.size();
  const std::string stem = CutTo(name.substr(0, dot), kMaxNameBytes - suffix.size() - extension.size());
  return stem + suffix + extension;
}

}  // namespace vantrel
