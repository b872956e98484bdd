#include "saving/DestinationNames.h"

#include <sys/vfs.h>

#include <fstream>
#include <sstream>
#include <vector>

namespace vantrel {

namespace {

constexpr std::uint64_t kMsdosMagic = 0x4d44;
constexpr std::uint64_t kExfatMagic = 0x2011BAB0;
constexpr std::uint64_t kNtfsMagic = 0x5346544e;   // the read-only "ntfs" driver
constexpr std::uint64_t kNtfs3Magic = 0x7366746e;  // "ntfs3"

// mountinfo writes space, tab, newline and backslash in paths as \ and three octal digits.
std::string Unescaped(std::string_view field) {
  std::string text;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && field.size() - i >= 4) {
      const std::string_view digits = field.substr(i + 1, 3);
      if (digits.find_first_not_of("01234567") == std::string_view::npos) {
        text += static_cast<char>((digits[0] - '0') * 64 + (digits[1] - '0') * 8 + (digits[2] - '0'));
        i += 3;
        continue;
      }
    }
    text += field[i];
  }
  return text;
}

// True when mountPoint is path or a folder above it.
bool Holds(const std::string& mountPoint, const std::string& path) {
  if (mountPoint == "/") return true;
  return path.compare(0, mountPoint.size(), mountPoint) == 0 &&
         (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

}  // namespace

bool FileSystemNeedsSafeNames(std::uint64_t statfsType, std::string_view mountType) {
  if (statfsType == kMsdosMagic || statfsType == kExfatMagic || statfsType == kNtfsMagic || statfsType == kNtfs3Magic)
    return true;
  static constexpr std::string_view kTypes[] = {"vfat", "msdos", "exfat", "ntfs", "ntfs3", "fuseblk"};
  for (const std::string_view type : kTypes)
    if (mountType == type) return true;
  // FUSE drivers name themselves in the subtype: fuse.ntfs-3g, fuseblk.exfat, fuse.lowntfs-3g.
  return mountType.starts_with("fuse") &&
         (mountType.find("ntfs") != std::string_view::npos || mountType.find("fat") != std::string_view::npos);
}

std::string MountTypeAt(std::string_view mountinfo, const std::string& path) {
  std::string type;
  std::size_t longest = 0;
  std::istringstream lines{std::string(mountinfo)};
  std::string line;
  while (std::getline(lines, line)) {
    // id parent major:minor root mount-point options [optional fields...] - type source super-options
    std::istringstream fields(line);
    std::vector<std::string> words;
    for (std::string word; fields >> word;) words.push_back(word);
    if (words.size() < 7) continue;
    std::size_t separator = 6;
    while (separator < words.size() && words[separator] != "-") ++separator;
    if (separator + 1 >= words.size()) continue;
    const std::string mountPoint = Unescaped(words[4]);
    if (!Holds(mountPoint, path) || mountPoint.size() < longest) continue;
    longest = mountPoint.size();
    type = words[separator + 1];
  }
  return type;
}

bool DestinationNeedsSafeNames(const std::filesystem::path& folder) {
  struct statfs answer {};
  if (::statfs(folder.c_str(), &answer) != 0) return false;
  std::error_code error;
  const std::filesystem::path canonical = std::filesystem::canonical(folder, error);
  std::string mountType;
  if (!error) {
    std::ifstream in("/proc/self/mountinfo");
    std::stringstream text;
    text << in.rdbuf();
    mountType = MountTypeAt(text.str(), canonical.string());
  }
  return FileSystemNeedsSafeNames(static_cast<std::uint64_t>(answer.f_type), mountType);
}

}  // namespace vantrel
