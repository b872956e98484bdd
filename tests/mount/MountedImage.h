#pragma once
// A fixture image mounted by vantrel-cli for the length of a test, unmounted however the
// test ends.

#include <filesystem>
#include <optional>
#include <string>

#include "support/CliRunner.h"
#include "support/FuseSupport.h"
#include "support/TempDir.h"

namespace vantrel::test {

class MountedImage {
 public:
  // Runs `vantrel-cli <disks> mount <arguments> MOUNTPOINT`; disks are global options
  // ("--disk IMG", with any --mapfile).
  MountedImage(const std::string& disks, const std::string& arguments);
  ~MountedImage();
  MountedImage(const MountedImage&) = delete;
  MountedImage& operator=(const MountedImage&) = delete;

  bool Mounted() const { return mounted_; }
  const CliRun& Run() const { return run_; }
  std::filesystem::path operator/(const std::string& path) const { return dir_.Path() / "mnt" / path; }
  std::filesystem::path Root() const { return dir_.Path() / "mnt"; }

 private:
  TempDir dir_;
  CliRun run_;
  bool mounted_ = false;
};

// An extended attribute of path (not following a symbolic link); empty when absent.
std::string Attribute(const std::filesystem::path& path, const std::string& name);
// The file's bytes read through the mount; nothing when a read fails (errno in *error).
std::optional<std::string> ReadWhole(const std::filesystem::path& path, int* error = nullptr);

}  // namespace vantrel::test
