#include "disk/containers/ParentImage.h"

#include <sys/stat.h>

#include <filesystem>

namespace vantrel {

namespace {

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::string FindParentImage(const std::string& childPath, const std::string& storedName) {
  if (storedName.empty()) return {};
  const std::filesystem::path folder = std::filesystem::path(childPath).parent_path();
  // A relative name is the child's folder's.
  std::string stored = storedName.front() == '/' || folder.empty() ? storedName : (folder / storedName).string();
  if (IsRegularFile(stored)) return stored;
  const auto lastSeparator = storedName.find_last_of("/\\");
  const std::string base = lastSeparator == std::string::npos ? storedName : storedName.substr(lastSeparator + 1);
  if (base.empty()) return {};
  const std::string beside = folder.empty() ? base : (folder / base).string();
  return IsRegularFile(beside) ? beside : std::string{};
}

}  // namespace vantrel
