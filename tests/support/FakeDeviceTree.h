#pragma once
// A device tree laid out as the kernel lays out /sys (dev/block/MAJ:MIN links, block/NAME,
// partitions, holders and slaves, loop backing files) in a temporary folder, and a stat
// that knows made-up paths: the lookup a destination check is given in tests.

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>

#include "disk/DestinationOnSource.h"
#include "support/TempDir.h"

namespace vantrel::test {

class FakeDeviceTree {
 public:
  // A block device folder (under devices/) with its dev file; a partition when set.
  std::filesystem::path AddDevice(const std::filesystem::path& relative, unsigned major, unsigned minor,
                                  bool partition = false);
  // upper is built over lower (a mapping over a partition, say).
  static void Stack(const std::filesystem::path& upper, const std::filesystem::path& lower);
  // A loop device over the file at backing (as its backing_file names it).
  void SetBackingFile(const std::filesystem::path& loop, const std::string& backing);
  // stat gives a block device node for path.
  void Block(const std::string& path, unsigned major, unsigned minor);
  // stat gives an entry of the given type on the device major:minor.
  void Entry(const std::string& path, unsigned major, unsigned minor, mode_t type, ino_t inode = 1);

  // sda with partitions sda1 and sda2, a mapping dm-0 over sda1, sdb with sdb1; nodes
  // /dev/sda and /dev/sda2; folders / (on sdb1), /mnt/sda1, /mnt/sda2, /mnt/sdb1 and
  // /mnt/crypt (on dm-0).
  void AddTwoDisks();

  std::filesystem::path Root() const { return root_.Path(); }
  DeviceLookup Lookup() const;

 private:
  TempDir root_;
  std::map<std::string, struct stat> stats_;
};

}  // namespace vantrel::test
