// The compact catalogue's own bookkeeping: names kept apart in one store, the object index
// over many records (first record of each ids wins), and body pieces added in any order
// coming back grouped per record in the order they were added.

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <utility>

#include "reiserfs/catalogue/Catalogue.h"

namespace vantrel {
namespace {

std::vector<std::uint32_t> Blocks(std::span<const BodyPiece> pieces) {
  std::vector<std::uint32_t> numbers;
  for (const BodyPiece& piece : pieces) numbers.push_back(piece.block);
  return numbers;
}

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
  EXPECT_EQ(Blocks(objects.Pieces(a)), (std::vector<std::uint32_t>{10, 12}));
  EXPECT_EQ(Blocks(objects.TailPieces(a)), (std::vector<std::uint32_t>{11}));
  EXPECT_EQ(Blocks(objects.Pieces(b)), (std::vector<std::uint32_t>{20, 21}));
  EXPECT_EQ(Blocks(objects.TailPieces(b)), (std::vector<std::uint32_t>{22}));
  EXPECT_TRUE(objects.Pieces(c).empty());
  EXPECT_TRUE(objects.TailPieces(c).empty());
}

// Many records and pieces over several rounds, against a plain model: every record's
// pieces and tails in the order added, none lost or given to another record, and a piece
// staged for a record of another list dropped.
TEST(CompactCatalogue, ManyPiecesOverRoundsGroupLikeAPlainModel) {
  ObjectList objects;
  std::map<std::pair<std::size_t, bool>, std::vector<std::uint32_t>> model;
  std::mt19937 random(7);
  std::uint32_t next = 0;
  ObjectList other;
  const ObjectRecord& stranger = other.Append({.objectId = 9, .dirId = 9}, "stranger");
  for (int round = 0; round < 4; ++round) {
    for (int i = 0; i < 3000; ++i) objects.Append({.objectId = next, .dirId = 2}, "r"), ++next;
    for (int i = 0; i < 20000; ++i) {
      const std::size_t record = random() % objects.Size();
      const bool tail = random() % 3 == 0;
      const BodyPiece piece{.block = static_cast<std::uint32_t>(round * 100000 + i)};
      tail ? objects.AddTailPiece(objects[record], piece) : objects.AddPiece(objects[record], piece);
      model[{record, tail}].push_back(piece.block);
    }
    objects.AddPiece(stranger, {.block = 999999999});
    objects.GroupPieces();
  }
  std::size_t total = 0;
  for (std::size_t record = 0; record < objects.Size(); ++record) {
    const auto expected = [&](bool tail) {
      const auto found = model.find({record, tail});
      return found == model.end() ? std::vector<std::uint32_t>{} : found->second;
    };
    ASSERT_EQ(Blocks(objects.Pieces(objects[record])), expected(false)) << record;
    ASSERT_EQ(Blocks(objects.TailPieces(objects[record])), expected(true)) << record;
    total += objects[record].pieceCount + objects[record].tailPieceCount;
  }
  EXPECT_EQ(total, 4u * 20000u);
}

// The index's arrays: from 2 MiB on in memory of their own, starting on a 2 MiB boundary,
// and keeping their content as they grow past that size and shrink below it.
TEST(CompactCatalogue, LargeArraysKeepTheirContentAcrossTheLargePageBoundary) {
  std::vector<std::uint64_t, LargePageAllocator<std::uint64_t>> values;
  for (std::uint64_t i = 0; i < 1000000; ++i) values.push_back(i * 3);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(values.data()) % large_pages::kLargeBytes, 0u);
  for (std::uint64_t i = 0; i < values.size(); i += 9973) ASSERT_EQ(values[i], i * 3);
  values.resize(10);
  values.shrink_to_fit();
  EXPECT_EQ(values[9], 27u);
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
