// The window's disk list over the members of an array: the array is one more disk, and its
// details rows say what it is made of.

#include <gtest/gtest.h>

#include "app/ControlIds.h"
#include "app/DiskList.h"
#include "support/Fixtures.h"
#include "support/TestWizard.h"

namespace vantrel::test {
namespace {

TEST(StackDiskList, AnArrayIsListedAfterItsMembersWithItsDetails) {
  TestWizard wizard;
  std::vector<NamedDisk> members;
  for (const std::string& image : FixtureMemberImages("stripe")) members.push_back({image, {}});
  EXPECT_TRUE(EnumerateDisks(wizard.state, members).empty());
  const TreeModel tree = wizard.window.Tree(TreeId::Disk);
  ASSERT_EQ(tree.Children(tree.Root()).size(), 4u);
  EXPECT_EQ(tree.Text(tree.Children(tree.Root())[3]), "Disk3");

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

}  // namespace
}  // namespace vantrel::test
