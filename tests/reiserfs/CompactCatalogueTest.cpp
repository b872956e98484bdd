// The compact catalogue's own bookkeeping: names kept apart in one store, the object index
// over many records (first record of each ids wins), and body pieces added in any order
// coming back grouped per record in the order they were added.

#include <gtest/gtest.h>

#include <string>

#include "reiserfs/Catalogue.h"

namespace vantrel {
namespace {

TEST(CompactCatalogue, NamesStayAsWrittenAcrossStoreBlocksAndCopies) {
  Catalogue catalogue;
  // Enough long names to fill several of the store's blocks.
  for (std::uint32_t i = 0; i < 5000; ++i)
    AppendFile(catalogue, std::string(500, static_cast<char>('a' + i % 26)) + std::to_string(i), i + 10, 2, i, i, 0);
  AppendFolder(catalogue, "", 9, 2, 0, 0, 0);
  const Catalogue copy = catalogue;
  for (std::uint32_t i = 0; i < 5000; i += 499) {
    const std::string expected = std::string(500, static_cast<char>('a' + i % 26)) + std::to_string(i);
    EXPECT_EQ(catalogue.Name(catalogue.fileList[i]), expected);
    EXPECT_EQ(copy.Name(copy.fileList[i]), expected);
  }
  EXPECT_EQ(catalogue.Name(catalogue.folderList[0]), "");
  // Entries stay where they are while the lists grow.
  const CatalogueEntry* first = &catalogue.fileList[0];
  for (std::uint32_t i = 0; i < 10000; ++i) AppendFile(catalogue, "x", i, 2, 0, 0, 0);
  EXPECT_EQ(first, &catalogue.fileList[0]);
  catalogue.Clear();
  EXPECT_TRUE(catalogue.fileList.empty());
  EXPECT_EQ(catalogue.MemoryBytes(), 0u);
}

TEST(CompactCatalogue, IndexFindsTheFirstRecordOfEachIdsAmongMany) {
  ObjectList objects;
  for (std::uint32_t i = 0; i < 100000; ++i) objects.Append({.objectId = i, .dirId = i % 7}, "r" + std::to_string(i));
  // A second record of the same ids does not replace the first in the index.
  objects.Append({.objectId = 5, .dirId = 5}, "second");
  for (std::uint32_t i = 0; i < 100000; i += 997) {
    const ObjectRecord* found = objects.Find(i, i % 7);
    ASSERT_NE(found, nullptr) << i;
    EXPECT_EQ(objects.Name(*found), "r" + std::to_string(i));
    EXPECT_EQ(objects.IndexOf(*found), i);
  }
  EXPECT_EQ(objects.Find(5, 6), nullptr);
  EXPECT_EQ(objects.Name(*objects.Find(5, 5)), "r5");
  EXPECT_EQ(objects.IndexOf(objects[100000]), 100000u);
  ObjectRecord& renamed = *objects.Find(3, 3);
  objects.Rename(renamed, "three");
  EXPECT_EQ(objects.Name(renamed), "three");
}

TEST(CompactCatalogue, PiecesAddedInAnyOrderComeBackPerRecordInTheOrderAdded) {
  ObjectList objects;
  const ObjectRecord& a = objects.Append({.objectId = 1, .dirId = 2}, "a");
  const ObjectRecord& b = objects.Append({.objectId = 3, .dirId = 2}, "b");
  const ObjectRecord& c = objects.Append({.objectId = 4, .dirId = 2}, "c");
  objects.AddPiece(b, {.block = 20});
  objects.AddTailPiece(a, {.block = 11});
  objects.AddPiece(a, {.block = 10});
  objects.AddPiece(b, {.block = 21});
  objects.GroupPieces();
  // A second round adds behind what the first grouped.
  objects.AddPiece(a, {.block = 12});
  objects.AddTailPiece(b, {.block = 22});
  objects.GroupPieces();
  const auto blocks = [](std::span<const BodyPiece> pieces) {
    std::vector<std::uint32_t> numbers;
    for (const BodyPiece& piece : pieces) numbers.push_back(piece.block);
    return numbers;
  };
  EXPECT_EQ(blocks(objects.Pieces(a)), (std::vector<std::uint32_t>{10, 12}));
  EXPECT_EQ(blocks(objects.TailPieces(a)), (std::vector<std::uint32_t>{11}));
  EXPECT_EQ(blocks(objects.Pieces(b)), (std::vector<std::uint32_t>{20, 21}));
  EXPECT_EQ(blocks(objects.TailPieces(b)), (std::vector<std::uint32_t>{22}));
  EXPECT_TRUE(objects.Pieces(c).empty());
  EXPECT_TRUE(objects.TailPieces(c).empty());
}

// The root folder's record is kept without a name, often as the first of its list; a store
// moved from goes on taking names.
TEST(CompactCatalogue, EmptyNamesAndStoresMovedFromTakeNames) {
  ObjectList objects;
  const ObjectRecord& root = objects.Append({.objectId = 2, .dirId = 1}, "");
  EXPECT_EQ(objects.Name(root), "");
  NameStore store;
  const NameRef kept = store.Add("kept");
  NameStore moved = std::move(store);
  EXPECT_EQ(moved.View(kept), "kept");
  const NameRef again = store.Add("again");  // NOLINT(bugprone-use-after-move): reused as the class allows
  EXPECT_EQ(store.View(again), "again");
}

}  // namespace
}  // namespace vantrel
