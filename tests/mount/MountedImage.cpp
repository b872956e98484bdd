#include "MountedImage.h"

#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <optional>

namespace vantrel::test {

MountedImage::MountedImage(const std::string& disks, const std::string& arguments) {
  std::filesystem::create_directory(Root());
  run_ = RunCli(disks + " mount " + arguments + " " + Quoted(Root().string()));
  mounted_ = run_.exitCode == 0;
}

MountedImage::~MountedImage() {
  // Unmount whatever happened; lazily if something still holds the mount.
  const std::string target = Quoted(Root().string());
  if (std::system(("fusermount3 -u " + target + " 2>/dev/null").c_str()) != 0)
    std::system(("fusermount3 -u -z " + target + " 2>/dev/null").c_str());
}

std::string Attribute(const std::filesystem::path& path, const std::string& name) {
  char value[256];
  const ssize_t n = ::lgetxattr(path.c_str(), name.c_str(), value, sizeof value);
  return n < 0 ? std::string() : std::string(value, static_cast<std::size_t>(n));
}

std::optional<std::string> ReadWhole(const std::filesystem::path& path, int* error) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) {
    if (error) *error = errno;
    return std::nullopt;
  }
  std::string bytes;
  char chunk[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0) {
      if (error) *error = errno;
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    bytes.append(chunk, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return bytes;
}

}  // namespace vantrel::test
