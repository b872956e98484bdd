// A destination folder on the disk being recovered is recognised through the device tree:
// the disk, its partitions, devices stacked over them, and loop devices over an image.

#include "disk/DestinationOnSource.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/FakeDeviceTree.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

class DestinationOnSourceTree : public ::testing::Test {
 protected:
  DestinationOnSourceTree() { tree_.AddTwoDisks(); }
  bool OnSource(const std::string& source, const std::string& destination) const {
    return DestinationOnSource(source, destination, tree_.Lookup());
  }
  fs::path Device(const std::string& relative) const { return tree_.Root() / "devices" / relative; }

  FakeDeviceTree tree_;
};

TEST_F(DestinationOnSourceTree, FolderOnAPartitionOrAMappingOfTheSourceDiskIsRefused) {
  EXPECT_TRUE(OnSource("/dev/sda", "/mnt/sda1"));
  EXPECT_TRUE(OnSource("/dev/sda", "/mnt/sda2/recovered"));
  EXPECT_TRUE(OnSource("/dev/sda", "/mnt/crypt/deep/new/../folder"));
  EXPECT_FALSE(OnSource("/dev/sda", "/mnt/sdb1"));
  EXPECT_FALSE(OnSource("/dev/sda", "/home/user/out"));  // the nearest folder that exists is / on sdb1
}

TEST_F(DestinationOnSourceTree, APartitionAsTheSourceRefusesOnlyItselfAndWhatIsBuiltOverIt) {
  EXPECT_TRUE(OnSource("/dev/sda2", "/mnt/sda2"));
  EXPECT_FALSE(OnSource("/dev/sda2", "/mnt/sda1"));
  EXPECT_FALSE(OnSource("/dev/sda2", "/mnt/crypt"));
}

TEST_F(DestinationOnSourceTree, ImageIsRefusedOnlyThroughALoopDeviceBackedByIt) {
  const fs::path loop = tree_.AddDevice("virtual/loop0", 7, 0);
  tree_.AddDevice("virtual/loop0/loop0p1", 259, 0, true);
  tree_.SetBackingFile(loop, "/images/disk.img");
  tree_.Entry("/images/disk.img", 8, 17, S_IFREG, 42);
  tree_.Entry("/images/other.img", 8, 17, S_IFREG, 43);
  tree_.Entry("/images", 8, 17, S_IFDIR, 40);
  tree_.Entry("/mnt/loop", 259, 0, S_IFDIR);

  EXPECT_TRUE(OnSource("/images/disk.img", "/mnt/loop/out"));
  EXPECT_FALSE(OnSource("/images/other.img", "/mnt/loop/out"));
  EXPECT_FALSE(OnSource("/images/disk.img", "/images/recovered"));  // beside the image is fine
  EXPECT_FALSE(OnSource("/images/disk.img", "/mnt/sda1"));

  // Loop devices are matched by the file's identity, not its spelling; a removed file is
  // named with a mark.
  tree_.Entry("/images/link-to-disk.img", 8, 17, S_IFREG, 42);
  EXPECT_TRUE(OnSource("/images/link-to-disk.img", "/mnt/loop"));
  tree_.SetBackingFile(loop, "/images/disk.img (deleted)");
  EXPECT_TRUE(OnSource("/images/disk.img", "/mnt/loop"));
}

TEST_F(DestinationOnSourceTree, LoopingOrDamagedTreeEndsWithAnAnswer) {
  const fs::path md = tree_.AddDevice("virtual/md0", 9, 0);
  FakeDeviceTree::Stack(md, Device("virtual/dm-0"));
  FakeDeviceTree::Stack(Device("virtual/dm-0"), md);  // a cycle no kernel makes
  std::ofstream(Device("pci/sdb") / "dev") << "garbage";
  tree_.Entry("/mnt/md", 9, 0, S_IFDIR);
  EXPECT_TRUE(OnSource("/dev/sda", "/mnt/md"));
  EXPECT_FALSE(OnSource("/dev/missing", "/mnt/sda1"));
  EXPECT_FALSE(OnSource("/dev/sda", "relative/and/unknown"));
}

TEST(DestinationOnSourceOnThisMachine, ImageAndFolderInTheTemporaryFolderAreApart) {
  TempDir dir;
  std::ofstream(dir / "disk.img") << "image";
  EXPECT_FALSE(DestinationOnSource((dir / "disk.img").string(), dir / "out"));
  EXPECT_FALSE(DestinationOnSource((dir / "missing.img").string(), dir / "out"));
}

}  // namespace
}  // namespace vantrel::test
