// vantrel-cli refuses to save or carve onto the disk it recovers: with the block device
// that holds the temporary folder as the source, nothing is read and nothing written.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "disk/DestinationOnSource.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

// The device node of the block device that holds folder, when this machine has one that
// can be read (a folder on an overlay or a tmpfs has none).
std::string DeviceHolding(const fs::path& folder) {
  struct stat held {};
  if (::stat(folder.c_str(), &held) != 0 || major(held.st_dev) == 0) return {};
  std::ifstream uevent("/sys/dev/block/" + std::to_string(major(held.st_dev)) + ":" +
                       std::to_string(minor(held.st_dev)) + "/uevent");
  for (std::string line; std::getline(uevent, line);)
    if (line.rfind("DEVNAME=", 0) == 0) {
      const std::string node = "/dev/" + line.substr(8);
      struct stat device {};
      if (::stat(node.c_str(), &device) == 0 && S_ISBLK(device.st_mode) && device.st_rdev == held.st_dev &&
          ::access(node.c_str(), R_OK) == 0)
        return node;
    }
  return {};
}

TEST(CliDestinationOnSource, SaveAndCarveOntoTheSourceDiskAreRefusedWithNothingWritten) {
  TempDir dir;
  const std::string device = DeviceHolding(dir.Path());
  if (device.empty()) GTEST_SKIP() << "the temporary folder is not on a block device this user can read";
  const std::string expected = std::string("vantrel-cli: ") + kDestinationOnSource + "\n";
  for (const std::string command : {"save --out ", "carve --out "}) {
    const CliRun run = RunCli("--disk " + Quoted(device) + " " + command + Quoted((dir / "out").string()));
    EXPECT_EQ(run.exitCode, 1) << command;
    EXPECT_EQ(run.err, expected) << command;
    EXPECT_FALSE(fs::exists(dir / "out")) << command;
  }
}

}  // namespace
}  // namespace vantrel::test
