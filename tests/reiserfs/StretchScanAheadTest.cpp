// The scan ahead of the advanced build: stretches in block order with the items of every
// leaf in them, decoded where they lie; a stretch that cannot be read whole handed on
// unscanned in its place; an allocation failure on its thread met by the build in its
// place; a build that leaves early not waiting for the rest of the disk.

#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "reiserfs/build/CatalogueBuild.h"
#include "reiserfs/format/PartitionBlocks.h"
#include "reiserfs/format/ReiserSuperblock.h"
#include "reiserfs/build/StretchScanAhead.h"
#include "reiserfs/format/TreeKey.h"
#include "support/AllocationFailingDisk.h"
#include "support/CraftedPartition.h"
#include "support/Fixtures.h"
#include "support/TestWizard.h"

namespace vantrel::test {
namespace {

// Each item as text, with the block it lies in.
std::vector<std::string> Described(const ScannedStretch& stretch) {
  std::vector<std::string> seen;
  for (const ScannedItem& item : stretch.items) {
    std::string text = std::to_string(item.block) + " " + std::to_string(item.dirId) + "/" +
                       std::to_string(item.objectId) + " ";
    switch (item.kind) {
      case ScannedKind::StatData:
        text += "stat " + std::to_string(item.value) + " " + std::to_string(item.offset) + " " +
                std::to_string(item.modificationTime);
        break;
      case ScannedKind::DirEntry:
        text += "entry " + std::string(stretch.Name(item)) + " in " + std::to_string(item.keyObjectId);
        break;
      case ScannedKind::Indirect:
        text += "indirect " + std::to_string(item.value) + " at " + std::to_string(item.offset);
        break;
      case ScannedKind::Direct:
        text += "direct " + std::to_string(item.value) + " at " + std::to_string(item.offset);
        break;
    }
    seen.push_back(text);
  }
  return seen;
}

class StretchScanAheadTest : public ::testing::Test {
 protected:
  StretchScanAheadTest() : partition_(wizard_) {
    // Blocks of data, none of which looks like a node, around the tree's three.
    for (std::uint32_t b = 0; b < 64; ++b)
      for (std::byte& byte : partition_.Block(b)) byte = std::byte{0xFF};
    partition_.WriteLeaf(
        20, {{{1, 2, 0, 0, kStatDataType}, kKeyVersion36, CraftedPartition::StatData36(kFolderMode, 0, 1000)},
             {{1, 2, 1, 0, kDirectoryType},
              kKeyVersion35,
              CraftedPartition::Directory(1, 2, 0, {{2, 10, "docs"}, {2, 11, "a.txt"}})}});
    std::vector<std::byte> pointers(8);
    partition_.WriteLeaf(42, {{{2, 11, 1, 0, kDirectType}, kKeyVersion36, std::vector<std::byte>(5, std::byte{'t'})},
                              {{2, 11, 4097, 0, kIndirectType}, kKeyVersion36, pointers}});
    partition_.WriteInternal(30, 2, {{2, 10, 0, 0, kStatDataType}}, {20, 42});
    partition_.WriteSuperblock(30);
    blocks_ = std::make_unique<PartitionBlocks>(wizard_.Disk(), 0, ReadPartitionSuperblock(wizard_.Disk(), 0));
  }

  TestWizard wizard_;
  CraftedPartition partition_;
  std::unique_ptr<PartitionBlocks> blocks_;
};

TEST_F(StretchScanAheadTest, StretchesComeInBlockOrderWithTheItemsOfEveryLeaf) {
  StretchScanAhead ahead(*blocks_, 8);
  std::vector<std::uint64_t> firsts;
  std::vector<std::string> items;
  std::vector<std::uint32_t> nodes;
  while (ScannedStretch* stretch = ahead.Next()) {
    firsts.push_back(stretch->firstBlock);
    EXPECT_EQ(stretch->blockCount, 8u);
    EXPECT_TRUE(stretch->scanned);
    if (stretch->lastNodeBlock) nodes.push_back(*stretch->lastNodeBlock);
    for (const std::string& item : Described(*stretch)) items.push_back(item);
  }
  EXPECT_EQ(firsts, (std::vector<std::uint64_t>{0, 8, 16, 24, 32, 40, 48, 56}));
  EXPECT_EQ(nodes, (std::vector<std::uint32_t>{20, 30, 42}));
  // "." and ".." are not handed on; the entries' folder is the directory item's object.
  EXPECT_EQ(items, (std::vector<std::string>{"20 1/2 stat " + std::to_string(kFolderMode) + " 0 1000",
                                             "20 2/10 entry docs in 2", "20 2/11 entry a.txt in 2",
                                             "42 2/11 direct 5 at 1", "42 2/11 indirect 8 at 4097"}));
  EXPECT_EQ(ahead.Next(), nullptr);
}

TEST_F(StretchScanAheadTest, AStretchThatCannotBeReadWholeComesUnscannedInItsPlace) {
  partition_.Disk().FailSector(20 * 8 + 3);
  StretchScanAhead ahead(*blocks_, 8);
  std::vector<bool> scanned;
  while (ScannedStretch* stretch = ahead.Next()) {
    scanned.push_back(stretch->scanned);
    if (!stretch->scanned) {
      EXPECT_TRUE(stretch->items.empty());
    }
  }
  EXPECT_EQ(scanned, (std::vector<bool>{true, true, false, true, true, true, true, true}));
}

TEST_F(StretchScanAheadTest, ABuildThatLeavesEarlyDoesNotWaitForTheRestOfTheDisk) {
  {
    StretchScanAhead ahead(*blocks_, 1);
    ASSERT_NE(ahead.Next(), nullptr);
  }
  // The stretch taken, the few decoded ahead of it, and the one under way at most.
  EXPECT_LE(partition_.Disk().Reads(), 8);
}

TEST(StretchScanAhead, AnAllocationFailureOnItsThreadReachesTheBuildAfterTheStretchesBefore) {
  TestWizard wizard;
  const std::string image = FixtureImage("bare-36");
  const nlohmann::json partition = ManifestPartition(FixtureManifest("bare-36"), 0);
  const std::uint64_t start = partition["start_sector"].get<std::uint64_t>();
  auto failing = std::make_unique<AllocationFailingDisk>(image);
  AllocationFailingDisk& disk = *failing;
  wizard.state.disks.currentIndex = static_cast<std::uint16_t>(
      wizard.state.disks.names.Add({image, {}, std::move(failing)}));
  const PartitionBlocks blocks(wizard.Disk(), start, ReadPartitionSuperblock(wizard.Disk(), start));
  ASSERT_GT(blocks.BlocksOnDisk(), 40u);
  // The stretch of blocks 32 to 39 fails.
  disk.FailAt(start * 512 + std::uint64_t{35} * blocks.BlockSize(), 1);
  StretchScanAhead ahead(blocks, 8);
  std::vector<std::uint64_t> firsts;
  EXPECT_THROW(while (ScannedStretch* stretch = ahead.Next()) firsts.push_back(stretch->firstBlock), std::bad_alloc);
  EXPECT_EQ(firsts, (std::vector<std::uint64_t>{0, 8, 16, 24}));
}

}  // namespace
}  // namespace vantrel::test
