// The window's disk list over the members of an array: the array is one more disk, and its
// details rows say what it is made of.

#include <gtest/gtest.h>

#include "app/ControlIds.h"
#include "app/DiskList.h"
#include "app/PartitionSearchCommands.h"
#include "app/RaidArraySearch.h"
#include "app/WizardState.h"
#include "stacks/StackAssembly.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"
#include "support/TestWizard.h"
#include "support/WipedMembers.h"

namespace vantrel::test {
namespace {

TEST(StackDiskList, AnArrayIsListedAfterItsMembersWithItsDetails) {
  TestWizard wizard;
  std::vector<NamedDisk> members;
  for (const std::string& image : FixtureMemberImages("stripe")) members.push_back({image, {}});
  EXPECT_TRUE(EnumerateDisks(wizard.state, members).empty());
  // The array is listed under the group of its first member.
  const TreeModel tree = wizard.window.Tree(TreeId::Disk);
  ASSERT_EQ(tree.Children(tree.Root()).size(), 3u);
  const auto firstMember = tree.Children(tree.Root())[0];
  ASSERT_EQ(tree.Children(firstMember).size(), 1u);
  EXPECT_EQ(tree.Text(tree.Children(firstMember)[0]), "Disk3");

  ShowDiskDetails(wizard.state, 3);
  const std::vector<std::string> rows = wizard.window.List(control::kDetailsList).FirstCells();
  const std::vector<std::string> stackRows(rows.begin() + 7, rows.end());
  EXPECT_EQ(rows[1], "Model   : md raid0 (none):0");
  EXPECT_EQ(stackRows,
            (std::vector<std::string>{"Array   : (none):0 (4106c01a:382bac83:5496e5d4:d967542f)", "Level   : raid0",
                                      "Chunk   : 64 KiB", "Member   : Disk0 (role 0)", "Member   : Disk1 (role 1)",
                                      "Member   : Disk2 (role 2)", "State   : clean"}));
  EXPECT_EQ(wizard.state.disks.selectedModel, "md raid0 (none):0");
}

// An array holds its volume at its own sector 0, with no partition table: the window's quick
// search lists it there, as the console's does.
TEST(StackDiskList, TheQuickSearchOfAnArrayFindsItsVolumeAsTheConsoleDoes) {
  TestWizard wizard;
  std::vector<NamedDisk> members;
  for (const std::string& image : FixtureMemberImages("stripe")) members.push_back({image, {}});
  EXPECT_TRUE(EnumerateDisks(wizard.state, members).empty());
  wizard.state.disks.currentIndex = 3;
  QuickSearch(wizard.state);
  ASSERT_EQ(wizard.state.partitionTable.count, 1u);
  EXPECT_EQ(wizard.state.partitionTable.records[0].start, 0u);

  PartitionSearchProgress quiet;
  const PartitionSearchResult console = FindPartitions(ChooseDisk(wizard.state.disks.reader, wizard.state.disks.names,
                                                                  wizard.state.disks.info, {}, 3),
                                                       PartitionSearchKind::Quick, StopToken(), quiet);
  ASSERT_EQ(console.partitions.size(), 1u);
  EXPECT_EQ(console.partitions[0].start, wizard.state.partitionTable.records[0].start);
  EXPECT_EQ(console.partitions[0].size, wizard.state.partitionTable.records[0].size);
}

TEST(StackDiskList, TheRaidSearchsPickIsListedAsAFurtherDisk) {
  TestWizard wizard;
  const TempDir dir;
  std::vector<NamedDisk> members;
  for (const std::string& image : WipedMembers(dir, "stripe")) members.push_back({image, {}});
  EXPECT_TRUE(EnumerateDisks(wizard.state, members).empty());
  wizard.state.stage = WizardStage::DiskAndMode;
  ASSERT_EQ(wizard.state.disks.names.Count(), 3u);

  RaidSearchProgress quiet;
  const RaidSearchChoices choices = SearchRaidArraysOfGivenDisks(wizard.state, StopToken(), quiet);
  ASSERT_FALSE(choices.rows.empty()) << choices.message;
  EXPECT_EQ(choices.rows[0],
            "Score 495: RAID0, 64 KiB chunks over Disk0, Disk1, Disk2, data from sector 0 (--raid 0:64K:0,1,2::0)");
  const DiskListChange change = AddArrayByHand(wizard.state, false, choices.arrays[0]);
  EXPECT_TRUE(change.changed) << change.message;
  ASSERT_EQ(wizard.state.disks.names.Count(), 4u);
  EXPECT_EQ(StackOf(wizard.state.disks.names, 3)->name, "manual-1");
  const TreeModel tree = wizard.window.Tree(TreeId::Disk);
  EXPECT_EQ(tree.Text(tree.Children(tree.Children(tree.Root())[0])[0]), "Disk3");

  // Busy: nothing is added.
  EXPECT_FALSE(AddArrayByHand(wizard.state, true, choices.arrays[0]).changed);
  EXPECT_EQ(wizard.state.disks.arraysByHand.size(), 1u);
}

}  // namespace
}  // namespace vantrel::test
