#include "support/FuseSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace vantrel::test {

bool FuseAvailable(std::string* why) {
  if (::access("/dev/fuse", R_OK | W_OK) != 0) {
    *why = "no usable /dev/fuse: the mount tests need FUSE";
    return false;
  }
  if (std::system("command -v fusermount3 >/dev/null 2>&1") != 0) {
    *why = "fusermount3 is not installed (Debian package fuse3)";
    return false;
  }
  return true;
}

bool IsMountPoint(const std::filesystem::path& folder) {
  struct stat inside {
  }, parent{};
  return ::stat(folder.c_str(), &inside) == 0 && ::stat(folder.parent_path().c_str(), &parent) == 0 &&
         inside.st_dev != parent.st_dev;
}

}  // namespace vantrel::test
