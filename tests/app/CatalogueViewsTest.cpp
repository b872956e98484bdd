// The folder tree fill, the "Lost" folder, the folder rows of list 1001 and the paths of
// the entries, on a catalogue whose parent links are damaged.

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <sstream>

#include "app/ControlIds.h"
#include "app/FolderListing.h"
#include "app/FolderTree.h"
#include "reiserfs/build/BuildStatus.h"
#include "reiserfs/build/CatalogueBuild.h"
#include "app/CatalogueBuildCommands.h"
#include "app/CatalogueBuildCommands.h"
#include "reiserfs/catalogue/EntryTimeText.h"
#include "logs/ListingLines.h"
#include "recovery/FolderSelection.h"
#include "reiserfs/catalogue/FolderLayout.h"
#include "support/TestWizard.h"

namespace vantrel::test {
namespace {

class CatalogueViews : public ::testing::Test {
 protected:
  // Lost; A (2,10) with B (10,11) below; C whose parent 99 is gone; D (14,13) and E (13,14)
  // which name each other as parent; F, a second folder with A's object id. Files in the
  // root, in B, in the missing folder 77, and in D.
  CatalogueViews() {
    Catalogue& c = wizard_.state.catalogue;
    AppendFolder(c, "Lost", kLostFolderId, 0, 0, 0, 0);
    AppendFolder(c, "A", 10, 2, 1136451903, 0, 0);
    AppendFolder(c, "B", 11, 10, 1136451903, 0, 0);
    AppendFolder(c, "C", 12, 99, 1136451903, 0, 0);
    AppendFolder(c, "D", 13, 14, 1136451903, 0, 0);
    AppendFolder(c, "E", 14, 13, 1136451903, 0, 0);
    AppendFolder(c, "F", 10, 2, 1136451903, 0, 0);
    AppendFile(c, "root.txt", 20, 2, 1136451903, 5, 0);
    AppendFile(c, "in-b.txt", 21, 11, 1136451903, 6, 0);
    AppendFile(c, "orphan.txt", 22, 77, 0, 7, 0);
    AppendFile(c, "in-d.txt", 23, 13, 1136451903, 8, 0);
    c.folderCount = 7;
    c.fileCount = 4;
    ReplaceFolderTree(wizard_.state);
  }

  void PassAndFill() {
    WindowBuildStatus sink(wizard_.window);
    BuildStatus status(sink);
    LostFolderPass(wizard_.state.catalogue, status);
    AddFolderItems(wizard_.state, wizard_.window.TreeRoot(TreeId::Folder));
  }

  const EntryList& Folders() const { return wizard_.state.catalogue.folderList; }

  std::vector<std::string> ChildTexts(const TreeModel& tree, TreeItemHandle item) const {
    std::vector<std::string> texts;
    for (const TreeItemHandle child : tree.Children(item)) texts.push_back(tree.Text(child));
    return texts;
  }

  TestWizard wizard_;
};

TEST_F(CatalogueViews, LostFolderPassMovesOnlyFoldersWhoseParentIsMissing) {
  PassAndFill();
  EXPECT_EQ(Folders()[3].parentId, kLostFolderId);  // C
  EXPECT_EQ(Folders()[4].parentId, 14u);            // D: its parent E exists
  EXPECT_EQ(Folders()[0].parentId, 0u);             // Lost itself
  EXPECT_EQ(wizard_.state.catalogue.fileList[2].parentId, 77u);  // files keep theirs
  EXPECT_EQ(wizard_.window.ControlText(control::kStatusText), "Searching Lost Directories 3/7");
}

TEST_F(CatalogueViews, TreeShowsTheRootFoldersThenLostWithWhatNothingElseReaches) {
  PassAndFill();
  const TreeModel tree = wizard_.window.Tree(TreeId::Folder);
  const TreeItemHandle root = tree.Root();
  EXPECT_EQ(ChildTexts(tree, root), (std::vector<std::string>{"A", "F", "Lost"}));
  const auto top = tree.Children(root);
  EXPECT_EQ(ChildTexts(tree, top[0]), (std::vector<std::string>{"B"}));
  EXPECT_TRUE(ChildTexts(tree, top[1]).empty());  // B is placed once, below A
  EXPECT_EQ(ChildTexts(tree, top[2]), (std::vector<std::string>{"C", "D"}));
  EXPECT_EQ(ChildTexts(tree, tree.Children(top[2])[1]), (std::vector<std::string>{"E"}));
  for (std::size_t i = 0; i < Folders().size(); ++i) {
    const TreeItemHandle item = wizard_.state.marks.ItemOf(i);
    ASSERT_NE(item, kNoTreeItem) << wizard_.state.catalogue.Name(Folders()[i]);
    EXPECT_EQ(tree.Text(item), wizard_.state.catalogue.Name(Folders()[i]));
    EXPECT_EQ(tree.Check(item), CheckState::Unchecked);
    EXPECT_TRUE(tree.IsExpanded(item));
  }
  EXPECT_EQ(wizard_.state.marks.treeItemCount, 7u);
}

TEST_F(CatalogueViews, LostListsItsFoldersAndTheFilesWhoseFolderIsMissing) {
  PassAndFill();
  ShowFolder(wizard_.state, kLostFolderId);
  const ListModel list = wizard_.window.List(control::kDetailsList);
  EXPECT_EQ(list.FirstCells(), (std::vector<std::string>{"C", "D", "orphan.txt"}));
  EXPECT_EQ(list.Cell(0, kTypeColumn), "Folder");
  // Folders show their object id, as files do, whatever item of the tree stands for them.
  EXPECT_EQ(list.Cell(0, kIdColumn), std::to_string(Folders()[3].objectId));
  EXPECT_EQ(list.Cell(2, kTypeColumn), "FILE");
  EXPECT_EQ(list.Cell(2, kSizeColumn), "7");
  EXPECT_EQ(list.Cell(2, kDateColumn), "Error");
  EXPECT_EQ(list.Cell(2, kTimeColumn), "Error");
  EXPECT_EQ(list.Cell(2, kIdColumn), "22");
  EXPECT_EQ(list.Row(0).image, kFolderRowImage);
  EXPECT_EQ(list.Row(2).image, kFileRowImage);

  ShowFolder(wizard_.state, kRootFolderId);
  EXPECT_EQ(wizard_.window.List(control::kDetailsList).FirstCells(),
            (std::vector<std::string>{"A", "F", "root.txt"}));
}

TEST_F(CatalogueViews, PathsFollowThePlacement) {
  PassAndFill();
  const Catalogue& c = wizard_.state.catalogue;
  const CataloguePaths paths = PathsOf(c, LayOutFolders(c));
  EXPECT_EQ(paths.folders, (std::vector<std::string>{"Lost", "A", "A/B", "Lost/C", "Lost/D", "Lost/D/E", "F"}));
  EXPECT_EQ(paths.files, (std::vector<std::string>{"root.txt", "A/B/in-b.txt", "Lost/orphan.txt", "Lost/D/in-d.txt"}));
}

// "Lost" is shown where something is in it: a folder whose parent is gone, or a file whose
// folder is. A catalogue that lost nothing (a quick build of a sound volume) keeps its
// "Lost" entry, as the recovery logs store it, but neither the tree, the listing, the
// paths nor a save show it.
TEST(LostFolder, IsShownOnlyWhenSomethingIsInIt) {
  struct Case {
    const char* name;
    std::uint32_t fileParent;  // the folder of the one file
    std::uint32_t folderParent;  // the parent of folder B
    bool lost;
  };
  for (const Case& c : {Case{"nothing lost", 10, 10, false}, Case{"a file lost", 77, 10, true},
                        Case{"a folder lost", 10, kLostFolderId, true}}) {
    SCOPED_TRACE(c.name);
    TestWizard wizard;
    Catalogue& catalogue = wizard.state.catalogue;
    AppendFolder(catalogue, kLostFolderName, kLostFolderId, 0, 0, 0, 0);
    AppendFolder(catalogue, "A", 10, 2, 1136451903, 0, 0);
    AppendFolder(catalogue, "B", 11, c.folderParent, 1136451903, 0, 0);
    AppendFile(catalogue, "f.txt", 20, c.fileParent, 1136451903, 5, 0);
    catalogue.folderCount = 3;
    catalogue.fileCount = 1;
    ReplaceFolderTree(wizard.state);
    AddFolderItems(wizard.state, wizard.window.TreeRoot(TreeId::Folder));

    const TreeModel tree = wizard.window.Tree(TreeId::Folder);
    std::vector<std::string> top;
    for (const TreeItemHandle child : tree.Children(tree.Root())) top.push_back(tree.Text(child));
    const std::vector<std::string> expected = c.lost ? std::vector<std::string>{"A", "Lost"}
                                                     : std::vector<std::string>{"A"};
    EXPECT_EQ(top, expected);
    std::ostringstream listing;
    WriteCatalogueListing(catalogue, "\n", listing);
    EXPECT_EQ(listing.str().find("Root-> Lost") != std::string::npos, c.lost) << listing.str();
    const FolderLayout layout = LayOutFolders(catalogue);
    EXPECT_EQ(FolderAtPath(catalogue, layout, "Lost").has_value(), c.lost);
    // Saving everything makes a "Lost" folder only when there is something to put in it.
    const auto selection = SelectFoldersAtPaths(catalogue, {});
    ASSERT_TRUE(selection);
    EXPECT_EQ(selection->folders, c.lost ? 4u : 3u);  // the root, A, B (and Lost)
  }
}

class EntryTimeTexts : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tz = std::getenv("TZ");
    saved_ = tz ? std::optional<std::string>(tz) : std::nullopt;
    setenv("TZ", "UTC", 1);
    tzset();
  }
  void TearDown() override {
    if (saved_)
      setenv("TZ", saved_->c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }
  std::optional<std::string> saved_;
};

TEST_F(EntryTimeTexts, DatesAndTimesInLocalTimeWithErrorForZeroAndNegative) {
  EXPECT_EQ(EntryDateText(1136451903), "05-Jan-2006");
  EXPECT_EQ(EntryTimeText(1136451903), "09:05:03");
  EXPECT_EQ(EntryDateText(946684800 + 3600 * 24 * 340), "06-Dec-2000");
  for (const std::uint32_t bad : {0u, 0x80000000u, 0xFFFFFFFFu}) {
    EXPECT_EQ(EntryDateText(bad), "Error");
    EXPECT_EQ(EntryTimeText(bad), "Error");
  }
}

}  // namespace
}  // namespace vantrel::test
