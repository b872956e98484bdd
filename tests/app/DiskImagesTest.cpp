// Disk images opened in the window join the disk list, show their container's details, and
// can be taken off the list again; the list changes only in the first step while nothing runs.

#include <gtest/gtest.h>

#include <fstream>

#include "app/ControlIds.h"
#include "app/DiskImages.h"
#include "app/DiskList.h"
#include "support/ContainerFixtures.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"
#include "support/TestWizard.h"

namespace vantrel::test {
namespace {

std::vector<std::string> ListedDisks(TestWizard& wizard) {
  std::vector<std::string> paths;
  for (const NamedDisk& disk : GivenDisks(wizard.state)) paths.push_back(disk.path);
  return paths;
}

std::size_t TreeDisks(TestWizard& wizard) {
  const TreeModel tree = wizard.window.Tree(TreeId::Disk);
  return tree.Children(tree.Root()).size();
}

class WindowDiskImages : public ::testing::Test {
 protected:
  void SetUp() override {
    wizard_.state.stage = WizardStage::DiskAndMode;
    ASSERT_TRUE(EnumerateDisks(wizard_.state, {{raw_, {}}}).empty());
  }
  TestWizard wizard_;
  const std::string raw_ = FixtureImage("bare-36");
  const std::string e01_ = ContainerFixture("bare-36", "E01");
  const std::string qcow_ = ContainerFixture("bare-36", "qcow2");
};

TEST_F(WindowDiskImages, AddedImagesJoinTheListOnceAndShowTheirContainer) {
  const DiskListChange added = AddDiskImages(wizard_.state, false, {e01_, qcow_, e01_, raw_});
  EXPECT_TRUE(added.changed);
  EXPECT_EQ(added.message, "");
  EXPECT_EQ(ListedDisks(wizard_), (std::vector<std::string>{raw_, e01_, qcow_}));
  EXPECT_EQ(TreeDisks(wizard_), 3u);

  ShowDiskDetails(wizard_.state, 1);
  const std::vector<std::string> rows = wizard_.window.List(control::kDetailsList).FirstCells();
  EXPECT_EQ(rows[1], "Model   : disk.E01");
  EXPECT_NE(std::find(rows.begin(), rows.end(), "Image Format   : Expert Witness (E01)"), rows.end());
  EXPECT_NE(std::find(rows.begin(), rows.end(), "Stored MD5   : c50016916fbd61d0c1f945d5069fde52"), rows.end());

  const TempDir folder;
  const DiskListChange again = AddDiskImages(wizard_.state, false, {e01_, folder.Path().string()});
  EXPECT_FALSE(again.changed);
  EXPECT_EQ(again.message, folder.Path().string() + " is not a disk image file");
}

TEST_F(WindowDiskImages, OnlyTheAddedImagesProblemsAreTold) {
  const TempDir folder;
  const std::string broken = (folder / "broken.qcow2").string();
  std::ofstream(broken) << std::string("QFI\xfb", 4) << std::string(60, '\xff');
  // A disk listed before that cannot be read is not told of again.
  ASSERT_EQ(EnumerateDisks(wizard_.state, {{raw_, {}}, {(folder / "gone.img").string(), {}}}).size(), 1u);
  const DiskListChange added = AddDiskImages(wizard_.state, false, {e01_, broken});
  EXPECT_TRUE(added.changed);
  EXPECT_EQ(added.message.find("gone.img"), std::string::npos) << added.message;
  EXPECT_NE(added.message.find("Disk3 cannot open the qcow image " + broken), std::string::npos) << added.message;
}

TEST_F(WindowDiskImages, AnImageIsTakenOffAndTheChoiceOfDiskIsCleared) {
  AddDiskImages(wizard_.state, false, {e01_, qcow_});
  wizard_.state.disks.selectedLabel = "Disk1";
  const DiskListChange removed = RemoveDiskImage(wizard_.state, false, 1);
  EXPECT_TRUE(removed.changed);
  EXPECT_EQ(ListedDisks(wizard_), (std::vector<std::string>{raw_, qcow_}));
  EXPECT_EQ(TreeDisks(wizard_), 2u);
  EXPECT_EQ(wizard_.state.disks.selectedLabel, "");
  EXPECT_FALSE(wizard_.window.Control(control::kNextButton).enabled);
  EXPECT_FALSE(RemoveDiskImage(wizard_.state, false, 5).changed);
}

TEST_F(WindowDiskImages, TheListStaysWhileSomethingRunsOrPastTheFirstStep) {
  const DiskListChange busy = AddDiskImages(wizard_.state, true, {e01_});
  EXPECT_FALSE(busy.changed);
  EXPECT_NE(busy.message.find("Wait until"), std::string::npos);
  wizard_.state.stage = WizardStage::Partitions;
  EXPECT_FALSE(AddDiskImages(wizard_.state, false, {e01_}).changed);
  EXPECT_FALSE(RemoveDiskImage(wizard_.state, false, 0).changed);
  EXPECT_EQ(ListedDisks(wizard_), (std::vector<std::string>{raw_}));
}

}  // namespace
}  // namespace vantrel::test
