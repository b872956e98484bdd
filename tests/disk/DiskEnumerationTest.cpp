// Disk listing, geometry and details rows, on image files and a made-up sysfs tree.

#include <gtest/gtest.h>

#include <fstream>

#include "app/ControlIds.h"
#include "app/DiskList.h"
#include "disk/DiskProbe.h"
#include "support/SparseImage.h"
#include "support/TempDir.h"
#include "support/TestWizard.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

TEST(ListWholeDisks, LeavesOutVirtualOpticalAndEmptyDevices) {
  TempDir sys;
  for (const char* name : {"sdb", "sda", "loop0", "ram1", "zram0", "sr0", "nvme0n1", "sdaa", "vda", "sdc"})
    WriteFile(sys / name / "size", "2048\n");
  WriteFile(sys / "sdc" / "size", "0\n");               // card reader without a card
  WriteFile(sys / "vda" / "device" / "type", "5\n");    // optical drive on SCSI
  WriteFile(sys / "cciss!c0d0" / "size", "4096\n");
  EXPECT_EQ(ListWholeDisks(sys.Path().string()),
            (std::vector<std::string>{"/dev/sda", "/dev/sdb", "/dev/sdaa", "/dev/nvme0n1", "/dev/cciss/c0d0"}));
}

class DiskEnumeration : public ::testing::Test {
 protected:
  std::vector<std::string> Details(int disk) {
    ShowDiskDetails(wizard_.state, disk);
    return wizard_.window.List(control::kDetailsList).FirstCells();
  }
  TempDir dir_;
  TestWizard wizard_;
};

TEST_F(DiskEnumeration, ImagesAreListedInOrderWithTheUsualGeometryAndExactSize) {
  // 1000 cylinders of 255 heads and 63 sectors, plus 7 sectors that make no whole cylinder.
  const std::uint64_t cylinderBytes = 255ull * 63 * 512;
  SparseImage big((dir_ / "big.img").string(), 1000 * cylinderBytes + 7 * 512);
  SparseImage small((dir_ / "small.img").string(), 1 << 20);
  const auto problems = EnumerateDisks(wizard_.state, {{big.Path(), {}}, {small.Path(), {}}});
  EXPECT_TRUE(problems.empty());

  const TreeModel tree = wizard_.window.Tree(TreeId::Disk);
  EXPECT_EQ(tree.Text(tree.Root()), "My Computer");
  EXPECT_TRUE(tree.IsExpanded(tree.Root()));
  ASSERT_EQ(tree.Children(tree.Root()).size(), 2u);
  EXPECT_EQ(tree.Text(tree.Children(tree.Root())[0]), "Disk0");
  EXPECT_EQ(tree.Text(tree.Children(tree.Root())[1]), "Disk1");

  EXPECT_EQ(Details(0), (std::vector<std::string>{
                            "Physical Disk Number : 0", "Model   : big.img", "Media Type   : Disk image file",
                            "Cylinder   : 1000", "Head   : 255", "SectorsPerTrack   : 63", "Disk Size  : 7.6 GB"}));
  EXPECT_EQ(wizard_.state.disks.selectedModel, "big.img");
  // The size is the image's exact size, not cylinders x heads x sectors.
  EXPECT_EQ(wizard_.state.disks.info.Read("VT WINDOWS\\Size", "Disk0"), std::to_string(8225280000ull + 7 * 512));
  EXPECT_EQ(Details(1)[3], "Cylinder   : 0");
  EXPECT_EQ(wizard_.state.stage, WizardStage::DiskAndMode);
}

TEST_F(DiskEnumeration, DiskThatCannotBeOpenedIsListedAndSaysWhy) {
  SparseImage good((dir_ / "good.img").string(), 1 << 20);
  const auto problems = EnumerateDisks(wizard_.state, {{dir_.Path().string(), {}}, {good.Path(), {}}});
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].disk, 0);
  EXPECT_NE(problems[0].text.find("Disk0"), std::string::npos);
  const auto rows = Details(0);
  ASSERT_EQ(rows.size(), 8u);
  EXPECT_EQ(rows[6], "Disk Size  : 0 bytes");
  EXPECT_NE(rows[7].find("Error   : "), std::string::npos);
  EXPECT_EQ(Details(1).size(), 7u);  // numbering kept: the good image is still Disk1
}

TEST_F(DiskEnumeration, BadMapfileKeepsTheDiskOutAndSaysWhy) {
  SparseImage image((dir_ / "disk.img").string(), 1 << 20);
  WriteFile(dir_ / "disk.map", "not a mapfile\n");
  const auto problems = EnumerateDisks(wizard_.state, {{image.Path(), (dir_ / "disk.map").string()}});
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].disk, -1);
  EXPECT_EQ(wizard_.state.disks.names.Count(), 0u);
}

TEST(DiskInfoStore, KeysIgnoreCaseAndMissingValuesReadEmptyOrZero) {
  DiskInfoStore store;
  store.Write("VT Windows\\Size", "Disk3", "8225280000");
  EXPECT_EQ(store.Read("VT WINDOWS\\SIZE", "Disk3"), "8225280000");
  EXPECT_EQ(store.ReadNumber("vt windows\\size", "Disk3"), 8225280000u);
  EXPECT_EQ(store.Read("VT Windows\\Size", "Disk4"), "");
  EXPECT_EQ(store.ReadNumber("VT Windows\\Head", "Disk3"), 0u);
  store.Write("VT Windows\\Head", "Disk3", "junk");
  EXPECT_EQ(store.ReadNumber("VT Windows\\Head", "Disk3"), 0u);
}

}  // namespace
}  // namespace vantrel::test
