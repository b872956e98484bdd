#include "mount/ShownNames.h"

#include <unordered_map>
#include <unordered_set>

namespace vantrel::mount {

namespace {

// The longest prefix of at most `bytes` bytes that ends on a character boundary.
std::string CutTo(std::string name, std::size_t bytes) {
  if (name.size() <= bytes) return name;
  std::size_t end = bytes;
  while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
  name.resize(end);
  return name;
}

// name with " (n)" before its extension, within the length limit.
std::string Numbered(const std::string& name, unsigned n) {
  const std::string suffix = " (" + std::to_string(n) + ")";
  std::size_t dot = name.rfind('.');
  if (dot == 0 || dot == std::string::npos) dot = name.size();
  std::string extension = name.substr(dot);
  if (extension.size() + suffix.size() > kMaxNameBytes / 2) extension.clear(), dot = name.size();
  const std::string stem = CutTo(name.substr(0, dot), kMaxNameBytes - suffix.size() - extension.size());
  return stem + suffix + extension;
}

}  // namespace

std::string ShowableName(std::string_view name) {
  if (name.empty() || name == ".") return "_";
  if (name == "..") return "__";
  std::string shown(name);
  for (char& c : shown)
    if (c == '/' || c == '\0') c = '_';
  return CutTo(std::move(shown), kMaxNameBytes);
}

std::vector<std::string> DistinctNames(const std::vector<std::string_view>& names) {
  std::vector<std::string> shown;
  shown.reserve(names.size());
  std::unordered_set<std::string> taken;
  for (const auto name : names) taken.insert(shown.emplace_back(ShowableName(name)));
  std::unordered_set<std::string> kept;
  std::unordered_map<std::string, unsigned> nextNumber;
  for (std::string& name : shown) {
    if (kept.insert(name).second) continue;
    unsigned& n = nextNumber.try_emplace(name, 2).first->second;
    std::string candidate = Numbered(name, n);
    while (taken.contains(candidate)) candidate = Numbered(name, ++n);
    ++n;
    taken.insert(candidate);
    kept.insert(candidate);
    name = std::move(candidate);
  }
  return shown;
}

}  // namespace vantrel::mount
