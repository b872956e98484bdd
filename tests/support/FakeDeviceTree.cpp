#include "support/FakeDeviceTree.h"

#include <sys/sysmacros.h>

#include <fstream>

namespace vantrel::test {

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }

}  // namespace

fs::path FakeDeviceTree::AddDevice(const fs::path& relative, unsigned major, unsigned minor, bool partition) {
  const fs::path folder = root_.Path() / "devices" / relative;
  fs::create_directories(folder / "holders");
  fs::create_directories(folder / "slaves");
  Write(folder / "dev", std::to_string(major) + ":" + std::to_string(minor) + "\n");
  if (partition) Write(folder / "partition", "1\n");
  fs::create_directories(root_ / "dev" / "block");
  fs::create_symlink(folder, root_ / "dev" / "block" / (std::to_string(major) + ":" + std::to_string(minor)));
  fs::create_directories(root_ / "block");
  if (!partition) fs::create_symlink(folder, root_ / "block" / folder.filename());
  return folder;
}

void FakeDeviceTree::Stack(const fs::path& upper, const fs::path& lower) {
  fs::create_symlink(upper, lower / "holders" / upper.filename());
  fs::create_symlink(lower, upper / "slaves" / lower.filename());
}

void FakeDeviceTree::SetBackingFile(const fs::path& loop, const std::string& backing) {
  fs::create_directories(loop / "loop");
  Write(loop / "loop" / "backing_file", backing + "\n");
}

void FakeDeviceTree::Block(const std::string& path, unsigned major, unsigned minor) {
  struct stat s {};
  s.st_mode = S_IFBLK | 0660;
  s.st_rdev = makedev(major, minor);
  s.st_dev = makedev(0, 5);
  stats_[path] = s;
}

void FakeDeviceTree::Entry(const std::string& path, unsigned major, unsigned minor, mode_t type, ino_t inode) {
  struct stat s {};
  s.st_mode = type | 0644;
  s.st_dev = makedev(major, minor);
  s.st_ino = inode;
  stats_[path] = s;
}

void FakeDeviceTree::AddTwoDisks() {
  const fs::path sda = AddDevice("pci/sda", 8, 0);
  AddDevice("pci/sda/sda1", 8, 1, true);
  AddDevice("pci/sda/sda2", 8, 2, true);
  AddDevice("pci/sdb", 8, 16);
  AddDevice("pci/sdb/sdb1", 8, 17, true);
  Stack(AddDevice("virtual/dm-0", 253, 0), sda / "sda1");
  Block("/dev/sda", 8, 0);
  Block("/dev/sda2", 8, 2);
  Entry("/", 8, 17, S_IFDIR);
  Entry("/mnt/sda1", 8, 1, S_IFDIR);
  Entry("/mnt/sda2", 8, 2, S_IFDIR);
  Entry("/mnt/sdb1", 8, 17, S_IFDIR);
  Entry("/mnt/crypt", 253, 0, S_IFDIR);
}

DeviceLookup FakeDeviceTree::Lookup() const {
  DeviceLookup lookup;
  lookup.sysfsRoot = root_.Path();
  lookup.stat = [stats = stats_](const std::string& path, struct stat* result) {
    const auto found = stats.find(path);
    if (found == stats.end()) return -1;
    *result = found->second;
    return 0;
  };
  return lookup;
}

}  // namespace vantrel::test
