#include "disk/containers/SplitPieces.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>

namespace vantrel {

namespace {

// More pieces than any splitter makes of one disk; bounds the search.
constexpr std::size_t kMaxPieces = 100000;

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The piece number after the last dot: digits, or lower-case letters.
std::string Suffix(const std::string& path) {
  const auto dot = path.rfind('.');
  if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return {};
  return path.substr(dot + 1);
}

bool AllOf(const std::string& text, int (*test)(int)) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [&](char c) { return test(static_cast<unsigned char>(c)) != 0; });
}

int IsLowerLetter(int c) { return c >= 'a' && c <= 'z' ? 1 : 0; }

bool IsFirstPiece(const std::string& suffix) {
  if (suffix.size() >= 3 && AllOf(suffix, isdigit))
    return std::all_of(suffix.begin(), suffix.end() - 1, [](char c) { return c == '0'; }) &&
           (suffix.back() == '0' || suffix.back() == '1');
  return suffix == "aa";
}

}  // namespace

std::string NextPieceName(const std::string& path) {
  std::string suffix = Suffix(path);
  const bool digits = suffix.size() >= 3 && AllOf(suffix, isdigit);
  const bool letters = suffix.size() == 2 && AllOf(suffix, IsLowerLetter);
  if (!digits && !letters) return {};
  const char first = digits ? '0' : 'a';
  const char last = digits ? '9' : 'z';
  for (auto it = suffix.rbegin(); it != suffix.rend(); ++it) {
    if (*it != last) {
      ++*it;
      return path.substr(0, path.size() - suffix.size()) + suffix;
    }
    *it = first;
  }
  return {};  // "999", "zz": the last piece such a name can have
}

std::vector<std::string> SplitPieces(const std::string& path) {
  std::vector<std::string> pieces{path};
  if (!IsFirstPiece(Suffix(path))) return pieces;
  for (std::string next = NextPieceName(path); !next.empty() && pieces.size() < kMaxPieces && IsRegularFile(next);
       next = NextPieceName(next))
    pieces.push_back(next);
  return pieces;
}

}  // namespace vantrel
