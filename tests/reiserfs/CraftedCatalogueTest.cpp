// Both catalogue builds on small hand-written partitions: a healthy tree, and the damage
// that no kernel writes (pointer loops, lengths past the block, a zeroed root, folders
// that name each other) which must end cleanly with what can be found.

#include <gtest/gtest.h>

#include <algorithm>

#include "app/ControlIds.h"
#include "app/FolderListing.h"
#include "app/FolderTree.h"
#include "app/SavingCommands.h"
#include "base/LittleEndian.h"
#include "app/CatalogueBuildCommands.h"
#include "reiserfs/catalogue/Catalogue.h"
#include "support/CraftedPartition.h"
#include "support/TempDir.h"

namespace vantrel::test {
namespace {

constexpr std::uint32_t kLeafA = 20;
constexpr std::uint32_t kLeafB = 22;
constexpr std::uint32_t kInternal = 30;

CraftedItem StatItem(std::uint32_t dirId, std::uint32_t objectId, std::uint16_t mode, std::uint64_t size,
                     std::uint32_t mtime) {
  return {{dirId, objectId, 0, 0, kStatDataType}, kKeyVersion36, CraftedPartition::StatData36(mode, size, mtime)};
}

CraftedItem DirItem(std::uint32_t dirId, std::uint32_t objectId, std::uint32_t parentDirId,
                    const std::vector<CraftedEntry>& entries) {
  return {{dirId, objectId, 1, 0, kDirectoryType}, kKeyVersion35,
          CraftedPartition::Directory(dirId, objectId, parentDirId, entries)};
}

CraftedItem DirectItem(std::uint32_t dirId, std::uint32_t objectId, std::size_t length) {
  return {{dirId, objectId, 1, 0, kDirectType}, kKeyVersion36, std::vector<std::byte>(length, std::byte{'t'})};
}

CraftedItem IndirectItem(std::uint32_t dirId, std::uint32_t objectId, std::vector<std::uint32_t> blocks) {
  std::vector<std::byte> body(4 * blocks.size());
  for (std::size_t i = 0; i < blocks.size(); ++i) WriteLittleEndian<std::uint32_t>(body, 4 * i, blocks[i]);
  return {{dirId, objectId, 1, 0, kIndirectType}, kKeyVersion36, body};
}

// The root holds the folder "docs" (2, 10) and the file "a.txt" (2, 11); docs holds
// "b.bin" (10, 12). Leaf A ends before docs' entries, leaf B holds the rest.
std::vector<CraftedItem> LeafAItems() {
  return {StatItem(1, 2, kFolderMode, 0, 1000), DirItem(1, 2, 0, {{2, 10, "docs"}, {2, 11, "a.txt"}}),
          StatItem(2, 10, kFolderMode, 0, 1100)};
}
std::vector<CraftedItem> LeafBItems() {
  return {DirItem(2, 10, 1, {{10, 12, "b.bin"}}), StatItem(2, 11, kFileMode, 300, 1200), DirectItem(2, 11, 300),
          StatItem(10, 12, kFileMode, 5000, 1300), IndirectItem(10, 12, {40, 41})};
}

class CraftedCatalogue : public ::testing::Test {
 protected:
  CraftedCatalogue() : partition_(wizard_) {}

  void WriteHealthyTree() {
    partition_.WriteLeaf(kLeafA, LeafAItems());
    partition_.WriteLeaf(kLeafB, LeafBItems());
    partition_.WriteInternal(kInternal, 2, {{2, 10, 1, 0, kDirectoryType}}, {kLeafA, kLeafB});
    partition_.WriteSuperblock(kInternal);
  }

  void Build(bool advanced) {
    ReplaceFolderTree(wizard_.state);
    if (advanced)
      AdvancedCatalogueBuild(wizard_.state);
    else
      QuickCatalogueBuild(wizard_.state);
  }

  const Catalogue& Cat() const { return wizard_.state.catalogue; }

  std::vector<std::string> FolderNames() const {
    std::vector<std::string> names;
    for (const auto& entry : Cat().folderList) names.emplace_back(Cat().Name(entry));
    return names;
  }
  std::vector<std::string> FileNames() const {
    std::vector<std::string> names;
    for (const auto& entry : Cat().fileList) names.emplace_back(Cat().Name(entry));
    return names;
  }
  const CatalogueEntry* File(const std::string& name) const {
    const auto found = std::find_if(Cat().fileList.begin(), Cat().fileList.end(),
                                    [&](const CatalogueEntry& e) { return Cat().Name(e) == name; });
    return found == Cat().fileList.end() ? nullptr : &*found;
  }

  TestWizard wizard_;
  CraftedPartition partition_;
};

TEST_F(CraftedCatalogue, QuickBuildWalksTheTreeBreadthFirst) {
  WriteHealthyTree();
  Build(false);
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"Lost", "docs"}));
  EXPECT_EQ(FileNames(), (std::vector<std::string>{"a.txt", "b.bin"}));
  const CatalogueEntry* b = File("b.bin");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->parentId, 10u);
  EXPECT_EQ(b->size, 5000u);
  EXPECT_EQ(b->modificationTime, 1300u);
  EXPECT_EQ(Cat().statDataCount, 3u);
  EXPECT_EQ(wizard_.state.stage, WizardStage::Partitions);
  EXPECT_EQ(wizard_.window.CurrentView(), WizardView::CatalogueShown);
}

TEST_F(CraftedCatalogue, AdvancedBuildFindsTheSameEntriesAndKeepsTheBodyPieces) {
  WriteHealthyTree();
  Build(true);
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"Lost", "docs"}));
  EXPECT_EQ(FileNames(), (std::vector<std::string>{"a.txt", "b.bin"}));
  // a.txt has only a direct item: it is still a file, and its tail is recorded.
  ObjectList& objects = wizard_.state.catalogue.objectList;
  const ObjectRecord* a = objects.Find(11, 2);
  ASSERT_NE(a, nullptr);
  EXPECT_TRUE(objects.Pieces(*a).empty());
  ASSERT_EQ(objects.TailPieces(*a).size(), 1u);
  EXPECT_EQ(objects.TailPieces(*a)[0].block, kLeafB);
  EXPECT_EQ(objects.TailPieces(*a)[0].length, 300u);
  const ObjectRecord* b = objects.Find(12, 10);
  ASSERT_NE(b, nullptr);
  ASSERT_EQ(objects.Pieces(*b).size(), 1u);
  EXPECT_EQ(objects.Pieces(*b)[0].block, kLeafB);
  EXPECT_EQ(objects.Pieces(*b)[0].length, 8u);
  EXPECT_EQ(ReadU32(partition_.Block(kLeafB), objects.Pieces(*b)[0].location), 40u);
  // "Lost" is record 0 and is not counted; the root folder's own record is no entry.
  EXPECT_EQ(objects[0].objectId, kLostFolderId);
  EXPECT_EQ(Cat().objectCount, objects.Size() - 1);
}

TEST_F(CraftedCatalogue, ChildPointersThatLoopEndTheSearch) {
  // The internal node names itself as its second child, and a level-3 node above it
  // points back down to itself as well.
  partition_.WriteLeaf(kLeafA, LeafAItems());
  partition_.WriteInternal(kInternal, 2, {{2, 10, 1, 0, kDirectoryType}}, {kLeafA, kInternal});
  partition_.WriteInternal(31, 3, {{2, 10, 1, 0, kDirectoryType}}, {kInternal, 31});
  partition_.WriteSuperblock(31);
  Build(false);
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"Lost", "docs"}));
  EXPECT_EQ(FileNames(), (std::vector<std::string>{"a.txt"}));  // its stat data was in leaf B
  EXPECT_EQ(File("a.txt")->size, 0u);
}

TEST_F(CraftedCatalogue, TreesOfEveryHeightFromALeafRootToALevelFiveRootGiveTheSameCatalogue) {
  // A leaf root: a volume of a few objects is one leaf.
  std::vector<CraftedItem> all = LeafAItems();
  for (CraftedItem& item : LeafBItems()) all.push_back(std::move(item));
  partition_.WriteLeaf(kLeafA, all);
  partition_.WriteSuperblock(kLeafA);
  for (const bool advanced : {false, true}) {
    Build(advanced);
    EXPECT_EQ(FolderNames(), (std::vector<std::string>{"Lost", "docs"})) << advanced;
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"a.txt", "b.bin"})) << advanced;
    EXPECT_EQ(File("b.bin")->size, 5000u) << advanced;
  }

  // Roots at levels 3, 4 and 5, each an internal node with one child above the last.
  WriteHealthyTree();
  std::uint32_t below = kInternal;
  for (std::uint16_t level = 3; level <= 5; ++level) {
    const std::uint32_t block = kInternal + level;
    partition_.WriteInternal(block, level, {{10, 12, 0, 0, kStatDataType}}, {below, 60});  // 60: a zeroed block
    partition_.WriteSuperblock(block);
    below = block;
    Build(false);
    EXPECT_EQ(FolderNames(), (std::vector<std::string>{"Lost", "docs"})) << level;
    EXPECT_EQ(FileNames(), (std::vector<std::string>{"a.txt", "b.bin"})) << level;
    EXPECT_EQ(File("b.bin")->size, 5000u) << level;
  }
}

TEST_F(CraftedCatalogue, AChildIsDescendedWhenItsLevelIsBelowItsParentsAndNeverOtherwise) {
  WriteHealthyTree();
  // A level-5 root straight above the level-2 node: levels may skip, the tree is still read.
  partition_.WriteInternal(35, 5, {{10, 12, 0, 0, kStatDataType}}, {kInternal, 60});
  partition_.WriteSuperblock(35);
  Build(false);
  EXPECT_EQ(FileNames(), (std::vector<std::string>{"a.txt", "b.bin"}));

  // A level-4 root whose child claims level 4 as well: that branch is not a subtree of it.
  partition_.WriteInternal(34, 4, {{2, 10, 1, 0, kDirectoryType}}, {kInternal, kLeafB});
  partition_.WriteInternal(36, 4, {{10, 12, 0, 0, kStatDataType}}, {34, 60});
  partition_.WriteSuperblock(36);
  Build(false);
  EXPECT_TRUE(FileNames().empty());

  // A block above level 5 is no node: the quick build finds nothing under such a root.
  partition_.WriteInternal(37, 6, {{10, 12, 0, 0, kStatDataType}}, {kInternal, 60});
  partition_.WriteSuperblock(37);
  Build(false);
  EXPECT_TRUE(FileNames().empty());
}

TEST_F(CraftedCatalogue, TwoObjectsThatShareAnIdAreEachSavedFromTheListAsThemselves) {
  // An older file system left (10, 11) "c.txt" in docs; the live one gave id 11 to a.txt.
  std::vector<CraftedItem> leafB = LeafBItems();
  leafB[0] = DirItem(2, 10, 1, {{10, 12, "b.bin"}, {10, 11, "c.txt"}});
  leafB.push_back(StatItem(10, 11, kFileMode, 120, 1400));
  leafB.push_back(DirectItem(10, 11, 120));
  partition_.WriteLeaf(kLeafA, LeafAItems());
  partition_.WriteLeaf(kLeafB, leafB);
  partition_.WriteInternal(kInternal, 2, {{2, 10, 1, 0, kDirectoryType}}, {kLeafA, kLeafB});
  partition_.WriteSuperblock(kInternal);
  Build(true);
  wizard_.state.fileSearchKind = FileSearchKind::Advanced;

  TempDir out;
  for (const auto& [folder, name, size] : {std::tuple{kRootFolderId, "a.txt", 300u}, {10u, "c.txt", 120u}}) {
    ShowFolder(wizard_.state, folder);
    const auto& rows = wizard_.state.shownFolder.entries;
    for (std::size_t row = 0; row < rows.size(); ++row)
      wizard_.window.ListSetRowSelected(control::kDetailsList, row,
                                        !rows[row].folder && Cat().Name(Cat().fileList[rows[row].index]) == name);
    wizard_.state.destinationPath = (out / name).string();
    wizard_.state.saving.mode = SaveMode::ChosenInList;
    RunSaving(wizard_.state);
    EXPECT_EQ(std::filesystem::file_size(out / name / name), size) << name;
  }
}

TEST_F(CraftedCatalogue, QuickBuildGivesASecondNameInTheSameFolderTheObjectsSizeAndTimeAndSavesItWhole) {
  // The root names a.txt (2, 11) twice: as "a.txt" and as "link.txt".
  std::vector<CraftedItem> leafA = LeafAItems();
  leafA[1] = DirItem(1, 2, 0, {{2, 10, "docs"}, {2, 11, "a.txt"}, {2, 11, "link.txt"}});
  partition_.WriteLeaf(kLeafA, leafA);
  partition_.WriteLeaf(kLeafB, LeafBItems());
  partition_.WriteInternal(kInternal, 2, {{2, 10, 1, 0, kDirectoryType}}, {kLeafA, kLeafB});
  partition_.WriteSuperblock(kInternal);
  Build(false);
  for (const char* name : {"a.txt", "link.txt"}) {
    ASSERT_NE(File(name), nullptr) << name;
    EXPECT_EQ(File(name)->size, 300u) << name;
    EXPECT_EQ(File(name)->modificationTime, 1200u) << name;
  }

  TempDir out;
  ShowFolder(wizard_.state, kRootFolderId);
  const auto& rows = wizard_.state.shownFolder.entries;
  for (std::size_t row = 0; row < rows.size(); ++row)
    wizard_.window.ListSetRowSelected(control::kDetailsList, row,
                                      !rows[row].folder && Cat().Name(Cat().fileList[rows[row].index]) == "link.txt");
  wizard_.state.destinationPath = out.Path().string();
  wizard_.state.saving.mode = SaveMode::ChosenInList;
  RunSaving(wizard_.state);
  EXPECT_EQ(std::filesystem::file_size(out / "link.txt"), 300u);
}

TEST_F(CraftedCatalogue, ItemsReachingPastTheBlockArePassedOver) {
  WriteHealthyTree();
  // b.bin's stat data (item 3 of leaf B) claims to end 100 bytes past the block.
  const auto header = partition_.Block(kLeafB).subspan(CraftedPartition::ItemHeaderOffset(3), 24);
  WriteLittleEndian<std::uint16_t>(header, 20, static_cast<std::uint16_t>(partition_.BlockSize() - 44 + 100));
  // And leaf A claims 500 items, whose headers would run past the block.
  WriteLittleEndian<std::uint16_t>(partition_.Block(kLeafA), 2, 500);
  for (const bool advanced : {false, true}) {
    Build(advanced);
    EXPECT_EQ(FolderNames(), (std::vector<std::string>{"Lost", "docs"})) << advanced;
    if (advanced) {
      EXPECT_EQ(File("b.bin"), nullptr);  // no stat data seen: not converted
    } else {
      ASSERT_NE(File("b.bin"), nullptr);
      EXPECT_EQ(File("b.bin")->size, 0u);
    }
  }
}

TEST_F(CraftedCatalogue, AZeroedRootLeavesOnlyLostToTheQuickBuildButNotToTheAdvancedOne) {
  WriteHealthyTree();
  const auto root = partition_.Block(kInternal);
  std::fill(root.begin(), root.end(), std::byte{0});
  Build(false);
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"Lost"}));
  EXPECT_TRUE(Cat().fileList.empty());
  EXPECT_EQ(wizard_.window.List(control::kDetailsList).RowCount(), 0u);
  Build(true);
  EXPECT_EQ(FileNames(), (std::vector<std::string>{"a.txt", "b.bin"}));
}

TEST_F(CraftedCatalogue, AFolderThatNamesItselfIsListedAgainButWalkedOnce) {
  partition_.WriteLeaf(kLeafA, {StatItem(1, 2, kFolderMode, 0, 1000), DirItem(1, 2, 0, {{2, 10, "docs"}}),
                                StatItem(2, 10, kFolderMode, 0, 1100),
                                DirItem(2, 10, 1, {{2, 10, "docs again"}, {2, 11, "a.txt"}}),
                                StatItem(2, 11, kFileMode, 7, 1200)});
  partition_.WriteSuperblock(kLeafA);
  Build(false);
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"Lost", "docs", "docs again"}));
  EXPECT_EQ(FileNames(), (std::vector<std::string>{"a.txt"}));
  // "docs again" is shown where its entry lies, inside docs; the tree ends there.
  const TreeModel tree = wizard_.window.Tree(TreeId::Folder);
  const auto top = tree.Children(tree.Root());
  ASSERT_EQ(top.size(), 1u);  // docs; nothing was lost, so no "Lost"
  ASSERT_EQ(tree.Children(top[0]).size(), 1u);
  EXPECT_EQ(tree.Text(tree.Children(top[0])[0]), "docs again");
  EXPECT_TRUE(tree.Children(tree.Children(top[0])[0]).empty());
  EXPECT_EQ(wizard_.state.marks.ItemOf(0), kNoTreeItem);  // the hidden "Lost"
  for (std::size_t i = 1; i < Cat().folderList.size(); ++i) EXPECT_NE(wizard_.state.marks.ItemOf(i), kNoTreeItem);
}

TEST_F(CraftedCatalogue, ObjectsKeyedToAnAncestorAreShownInTheFolderThatNamesThem) {
  // The file system packs new objects under an ancestor's directory id: "b.bin" lies in
  // docs (2, 10) but its key is (2, 12).
  partition_.WriteLeaf(kLeafA, {StatItem(1, 2, kFolderMode, 0, 1000), DirItem(1, 2, 0, {{2, 10, "docs"}}),
                                StatItem(2, 10, kFolderMode, 0, 1100), DirItem(2, 10, 1, {{2, 12, "b.bin"}}),
                                StatItem(2, 12, kFileMode, 77, 1200)});
  partition_.WriteSuperblock(kLeafA);
  for (const bool advanced : {false, true}) {
    Build(advanced);
    const CatalogueEntry* b = File("b.bin");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->parentId, 2u);  // the key, by which its items are found again
    EXPECT_EQ(b->folderId, 10u);
    ShowFolder(wizard_.state, 10);
    EXPECT_EQ(wizard_.window.List(control::kDetailsList).FirstCells(), std::vector<std::string>{"b.bin"});
    ShowFolder(wizard_.state, kRootFolderId);
    EXPECT_EQ(wizard_.window.List(control::kDetailsList).FirstCells(), std::vector<std::string>{"docs"});
  }
}

TEST_F(CraftedCatalogue, ObjectIdsAboveTheBlockCountAreStillSearched) {
  // A partition of 64 blocks whose objects have ids in the hundreds: the internal node's
  // key names object 300, and the root folder's entries lie in the child left of it.
  partition_.WriteLeaf(kLeafA, {StatItem(1, 2, kFolderMode, 0, 1000),
                                DirItem(1, 2, 0, {{2, 200, "many"}, {2, 300, "more"}}),
                                StatItem(2, 200, kFileMode, 10, 1100)});
  partition_.WriteLeaf(kLeafB, {StatItem(2, 300, kFileMode, 20, 1200)});
  partition_.WriteInternal(kInternal, 2, {{2, 300, 0, 0, kStatDataType}}, {kLeafA, kLeafB});
  partition_.WriteSuperblock(kInternal);
  Build(false);
  EXPECT_EQ(FileNames(), (std::vector<std::string>{"many", "more"}));
  EXPECT_EQ(File("more")->size, 20u);
}

TEST_F(CraftedCatalogue, AdvancedBuildNamesUnnamedObjectsFoundAndLetsLaterEntriesRename) {
  // Block order: the stat data of 11 and 20 come before any entry; the root's entry names
  // 11 later; 20 is never named.
  partition_.WriteLeaf(kLeafA, {StatItem(2, 11, kFileMode, 300, 1200), StatItem(2, 20, kFileMode, 9, 1250),
                                IndirectItem(2, 21, {50})});
  partition_.WriteLeaf(kLeafB, {StatItem(1, 2, kFolderMode, 0, 1000), DirItem(1, 2, 0, {{2, 11, "a.txt"}})});
  partition_.WriteSuperblock(kLeafB);
  Build(true);
  EXPECT_EQ(FileNames(), (std::vector<std::string>{"a.txt", "FOUND1"}));
  // Object 21 has a piece but no stat data: it is not converted.
  const ObjectRecord* orphan = wizard_.state.catalogue.objectList.Find(21, 2);
  ASSERT_NE(orphan, nullptr);
  EXPECT_EQ(wizard_.state.catalogue.objectList.Name(*orphan), "FOUND2");
  EXPECT_EQ(orphan->mode, kNotSeen);
}

TEST_F(CraftedCatalogue, AdvancedBuildReadsThe35LayoutBodyItems) {
  CraftedItem indirect = IndirectItem(2, 11, {40});
  indirect.version = kKeyVersion35;
  indirect.key.type = 0xFFFFFFFE;
  CraftedItem direct = DirectItem(2, 11, 10);
  direct.version = kKeyVersion35;
  direct.key.type = 0xFFFFFFFF;
  direct.key.offset = 4097;
  partition_.WriteLeaf(kLeafA, {StatItem(1, 2, kFolderMode, 0, 1000), DirItem(1, 2, 0, {{2, 11, "old.txt"}}),
                                {{2, 11, 0, 0, 0}, kKeyVersion35, CraftedPartition::StatData35(kFileMode, 4106, 5)},
                                indirect, direct});
  partition_.WriteSuperblock(kLeafA);
  Build(true);
  const ObjectList& objects = wizard_.state.catalogue.objectList;
  const ObjectRecord* record = objects.Find(11, 2);
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(objects.Pieces(*record).size(), 1u);
  ASSERT_EQ(objects.TailPieces(*record).size(), 1u);
  EXPECT_EQ(objects.TailPieces(*record)[0].offset, 4097u);
  EXPECT_EQ(FileNames(), (std::vector<std::string>{"old.txt"}));
}

TEST_F(CraftedCatalogue, AdvancedBuildReadsItemHeadersUpToTheBlockSize) {
  // 16 KiB blocks: a leaf of 220 stat data items, whose last headers lie beyond byte 4096.
  TestWizard wizard;
  CraftedPartition partition(wizard, 16384, 16);
  std::vector<CraftedItem> items{StatItem(1, 2, kFolderMode, 0, 1000)};
  for (std::uint32_t id = 100; id < 319; ++id) items.push_back(StatItem(2, id, kFileMode, id, 2000));
  partition.WriteLeaf(10, items);
  partition.WriteSuperblock(10);
  ReplaceFolderTree(wizard.state);
  AdvancedCatalogueBuild(wizard.state);
  EXPECT_EQ(wizard.state.catalogue.fileList.size(), 219u);
  EXPECT_EQ(wizard.state.catalogue.fileList.back().size, 318u);
}

TEST_F(CraftedCatalogue, AdvancedBuildScansOnlyTheBlocksThatLieOnTheDisk) {
  // A damaged block count of nearly 2^32 blocks on a disk of 64: the scan stops at the
  // end of the disk instead of reading zeros for billions of blocks.
  partition_.WriteLeaf(kLeafA, LeafAItems());
  partition_.WriteLeaf(kLeafB, LeafBItems());
  partition_.WriteSuperblock(kLeafA, 0xFFFFFFF0u);
  Build(true);
  EXPECT_EQ(FileNames(), (std::vector<std::string>{"a.txt", "b.bin"}));
  EXPECT_LT(partition_.Disk().Reads(), 100);
}

TEST_F(CraftedCatalogue, AdvancedBuildPassesOverABlockWhoseReadFailed) {
  WriteHealthyTree();
  wizard_.answers.AddBadSector(BadSectorAnswer::RetryAll);
  // The last sector of leaf B fails; its header sector still reads.
  partition_.Disk().FailSector(std::uint64_t{kLeafB} * 8 + 7);
  Build(true);
  EXPECT_EQ(FileNames(), (std::vector<std::string>{}));  // a.txt's and b.bin's stat data were in leaf B
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"Lost", "docs"}));
  EXPECT_EQ(wizard_.window.BadSectorPrompts(), 1);
}

// A window that asks to stop as soon as the build first shows a "Current Sector".
class StoppingWindow : public HeadlessWindow {
 public:
  StoppingWindow(DialogAnswers& answers, WizardState& state) : HeadlessWindow(answers), state_(state) {}

 protected:
  void OnChanged(const WindowChange& change) override {
    if (asked_ || change.kind != WindowChange::Kind::List || List(control::kDetailsList).Cell(0, 1).empty()) return;
    state_.stopRequested.store(1);
    asked_ = true;
  }

 private:
  WizardState& state_;
  bool asked_ = false;
};

TEST_F(CraftedCatalogue, StopDuringTheScanStillConvertsWhatWasFound) {
  // The scan ends after block 0, which holds leaf A; leaf B comes later.
  partition_.WriteLeaf(0, LeafAItems());
  partition_.WriteLeaf(50, LeafBItems());
  partition_.WriteSuperblock(50);
  StoppingWindow window(wizard_.answers, wizard_.state);
  wizard_.state.mainWindow = &window;
  Build(true);
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"Lost", "docs"}));
  EXPECT_TRUE(Cat().fileList.empty());
  EXPECT_EQ(wizard_.state.stopRequested.load(), 0);
  EXPECT_EQ(window.CurrentView(), WizardView::CatalogueShown);
}

TEST_F(CraftedCatalogue, StopDuringTheStatDataSearchesEndsTheQuickBuildNormally) {
  WriteHealthyTree();
  StoppingWindow window(wizard_.answers, wizard_.state);
  wizard_.state.mainWindow = &window;
  Build(false);
  // The stat data search under way completes, every record found is converted (a.txt,
  // whose stat data was not looked up, with size 0), no folder is walked, and the build
  // ends as usual.
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{"Lost", "docs"}));
  EXPECT_EQ(FileNames(), (std::vector<std::string>{"a.txt"}));
  EXPECT_EQ(window.CurrentView(), WizardView::CatalogueShown);
  EXPECT_EQ(window.MessageTexts().size(), 1u);
}

}  // namespace
}  // namespace vantrel::test
