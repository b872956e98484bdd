// The inodes of a catalogue that no fixture has: names a damaged disk can hold, the same
// name twice in a folder, hard links, entries whose folder is gone.

#include "mount/MountTree.h"

#include <gtest/gtest.h>

namespace vantrel::mount {
namespace {

constexpr std::uint32_t kFolderMode = 040755;
constexpr std::uint32_t kFileMode = 0100640;

Catalogue MakeCatalogue() {
  Catalogue catalogue;
  AppendFolder(catalogue, kLostFolderName, kLostFolderId, 0, 0, 0, 0);
  auto folder = [&](const char* name, std::uint32_t id, std::uint32_t parent) {
    AppendFolder(catalogue, name, id, parent, 100, 0, 0).mode = kFolderMode;
  };
  auto file = [&](const char* name, std::uint32_t id, std::uint32_t parent, std::uint32_t folderId,
                  std::uint32_t mode = kFileMode) {
    CatalogueEntry& entry = AppendFile(catalogue, name, id, parent, 200, 10, 0);
    entry.folderId = folderId;
    entry.mode = mode;
  };
  folder("docs", 10, kRootFolderId);
  folder("other", 11, kRootFolderId);
  folder("orphan", 12, kLostFolderId);
  file("a.txt", 20, 10, 10);
  file("a.txt", 21, 10, 10);  // the same name again (a damaged folder, or an old copy)
  file("x/y", 22, 10, 10);    // a slash no path can hold
  file("link", 23, 10, 10, 0120777);
  file("shared", 24, 10, 10);
  file("shared-too", 24, 10, 11);  // a second name of object [10 24]
  file("stray", 25, 99, 0);        // its folder is not in the catalogue
  CatalogueEntry& unseen = AppendFile(catalogue, "FOUND7", 26, 12, kNotSeen, kNotSeen, 0);
  unseen.mode = kNotSeen;
  return catalogue;
}

TEST(MountTree, FoldersFilesAndNamesAsAUserSeesThem) {
  const Catalogue catalogue = MakeCatalogue();
  const MountTree tree(catalogue, EntryStates());
  const auto docs = tree.Lookup(kRootNode, "docs");
  ASSERT_TRUE(docs);
  EXPECT_EQ(tree.Node(*docs)->permissions, 0755u);
  EXPECT_EQ(tree.Lookup(*docs, ".."), kRootNode);
  EXPECT_EQ(tree.Node(kRootNode)->subfolders, 3u);  // docs, other, Lost

  const auto first = tree.Lookup(*docs, "a.txt");
  const auto second = tree.Lookup(*docs, "a (2).txt");
  ASSERT_TRUE(first && second);
  EXPECT_NE(*first, *second);
  EXPECT_EQ(tree.Node(*second)->objectId, 21u);
  EXPECT_EQ(tree.Node(*first)->permissions, 0640u);
  EXPECT_TRUE(tree.Lookup(*docs, "x_y"));
  EXPECT_EQ(tree.Node(*tree.Lookup(*docs, "link"))->kind, NodeKind::Symlink);

  // One node for both names of the object, counted twice.
  const auto shared = tree.Lookup(*docs, "shared");
  ASSERT_TRUE(shared);
  EXPECT_EQ(tree.Lookup(*tree.Lookup(kRootNode, "other"), "shared-too"), shared);
  EXPECT_EQ(tree.Node(*shared)->links, 2u);

  // "Lost" holds the folder and the file whose folders are gone.
  const auto lost = tree.Lookup(kRootNode, "Lost");
  ASSERT_TRUE(lost);
  EXPECT_TRUE(tree.Lookup(*lost, "stray"));
  const auto orphan = tree.Lookup(*lost, "orphan");
  ASSERT_TRUE(orphan);
  const auto found = tree.Lookup(*orphan, "FOUND7");
  ASSERT_TRUE(found);
  EXPECT_FALSE(tree.Node(*found)->sizeKnown);
  EXPECT_EQ(tree.Node(*found)->modificationTime, 0u);
  EXPECT_EQ(tree.Node(*found)->state, EntryState::Live);  // no live tree to compare with

  EXPECT_FALSE(tree.Lookup(*docs, "missing"));
  EXPECT_FALSE(tree.Lookup(*first, "a.txt"));  // a file is no folder
  EXPECT_EQ(tree.Node(0), nullptr);
  EXPECT_EQ(tree.Node(tree.Count() + 1), nullptr);
}

TEST(MountTree, AnAdvancedBuildIsToldApartFromTheLiveTree) {
  const Catalogue advanced = MakeCatalogue();
  Catalogue live;
  AppendFile(live, "a.txt", 20, 10, 200, 10, 0);
  const MountTree tree(advanced, EntryStates(live));
  const auto docs = *tree.Lookup(kRootNode, "docs");
  EXPECT_EQ(tree.Node(*tree.Lookup(docs, "a.txt"))->state, EntryState::Live);
  EXPECT_EQ(tree.Node(*tree.Lookup(docs, "a (2).txt"))->state, EntryState::Deleted);
  const auto orphan = *tree.Lookup(*tree.Lookup(kRootNode, "Lost"), "orphan");
  EXPECT_EQ(tree.Node(*tree.Lookup(orphan, "FOUND7"))->state, EntryState::Found);
}

}  // namespace
}  // namespace vantrel::mount
