// The folder tree's check boxes: propagation down, the state of ancestors, and the
// selected flags of the entries behind the items.

#include <gtest/gtest.h>

#include "app/FolderChecks.h"
#include "support/TestWizard.h"

namespace vantrel::test {
namespace {

class FolderChecks : public ::testing::Test {
 protected:
  // Root -> a (10) -> a1 (11), a2 (12); Root -> b (20). One file in each folder, one in the root.
  FolderChecks() {
    root_ = window().TreeReset(TreeId::Folder, "Root");
    a_ = Folder(root_, "a", 10, 2);
    a1_ = Folder(a_, "a1", 11, 10);
    a2_ = Folder(a_, "a2", 12, 10);
    b_ = Folder(root_, "b", 20, 2);
    for (const std::uint32_t parent : {2u, 10u, 11u, 12u, 20u}) {
      CatalogueEntry file;
      file.objectId = 100 + parent;
      file.parentId = parent;
      file.name = wizard_.state.catalogue.names.Add("f");
      wizard_.state.catalogue.fileList.push_back(file);
    }
  }
  HeadlessWindow& window() { return wizard_.window; }
  TreeItemHandle Folder(TreeItemHandle parent, const std::string& name, std::uint32_t id, std::uint32_t parentId) {
    CatalogueEntry folder;
    folder.objectId = id;
    folder.parentId = parentId;
    folder.name = wizard_.state.catalogue.names.Add(name);
    const TreeItemHandle item = window().TreeInsert(TreeId::Folder, parent, name, 3, 7);
    wizard_.state.marks.SetItem(wizard_.state.catalogue.folderList.size(), item);
    wizard_.state.catalogue.folderList.push_back(folder);
    return item;
  }
  CheckState State(TreeItemHandle item) { return window().TreeCheck(TreeId::Folder, item); }
  std::uint32_t FileSelected(std::uint32_t parent) {
    const auto& files = wizard_.state.catalogue.fileList;
    for (std::size_t i = 0; i < files.size(); ++i)
      if (files[i].parentId == parent) return wizard_.state.marks.FileSelected(i) ? 1 : 0;
    return 99;
  }

  TestWizard wizard_;
  TreeItemHandle root_, a_, a1_, a2_, b_;
};

TEST_F(FolderChecks, CheckingGoesDownAndAncestorsShowAllOrSome) {
  ToggleCheck(wizard_.state, a1_);
  EXPECT_EQ(State(a1_), CheckState::Checked);
  EXPECT_EQ(State(a_), CheckState::PartlyChecked);
  EXPECT_EQ(State(root_), CheckState::PartlyChecked);
  EXPECT_EQ(FileSelected(11), 1u);
  EXPECT_EQ(FileSelected(10), 0u);  // an ancestor's own entries are not selected

  ToggleCheck(wizard_.state, a2_);
  EXPECT_EQ(State(a_), CheckState::Checked);
  EXPECT_EQ(State(root_), CheckState::PartlyChecked);

  ToggleCheck(wizard_.state, a_);  // a checked folder is unchecked with everything below it
  EXPECT_EQ(State(a1_), CheckState::Unchecked);
  EXPECT_EQ(State(root_), CheckState::Unchecked);
  EXPECT_EQ(FileSelected(12), 0u);
}

TEST_F(FolderChecks, PartlyCheckedFolderIsUncheckedAndTheRootStandsForTheRootFolder) {
  ToggleCheck(wizard_.state, a1_);
  ToggleCheck(wizard_.state, a_);  // partly checked: unchecked
  EXPECT_EQ(State(a_), CheckState::Unchecked);
  EXPECT_EQ(State(a1_), CheckState::Unchecked);

  ToggleCheck(wizard_.state, root_);
  for (const TreeItemHandle item : {root_, a_, a1_, a2_, b_}) EXPECT_EQ(State(item), CheckState::Checked);
  for (const std::uint32_t parent : {2u, 10u, 11u, 12u, 20u}) EXPECT_EQ(FileSelected(parent), 1u) << parent;
  for (std::size_t i = 0; i < wizard_.state.catalogue.folderList.size(); ++i)
    EXPECT_TRUE(wizard_.state.marks.FolderSelected(i))
        << wizard_.state.catalogue.Name(wizard_.state.catalogue.folderList[i]);

  ToggleCheck(wizard_.state, b_);
  EXPECT_EQ(State(root_), CheckState::PartlyChecked);
  ToggleCheck(wizard_.state, a_);
  EXPECT_EQ(State(root_), CheckState::Unchecked);
  EXPECT_EQ(FileSelected(2), 1u);  // unchecking children leaves the root's own flags
}

}  // namespace
}  // namespace vantrel::test
