// The magic-only and the strict superblock tests on crafted sectors.

#include <gtest/gtest.h>

#include "reiserfs/format/ReiserSuperblock.h"
#include "support/CraftedVolume.h"
#include "support/TestWizard.h"

namespace vantrel::test {
namespace {

constexpr std::uint64_t kStart = 1000;

class SuperblockTests : public ::testing::Test {
 protected:
  // A volume at `start` whose root block (20, 4 KiB blocks) is at level `rootLevel`.
  void Craft(const CraftedSuperblock& superblock, std::uint16_t rootLevel = 2, std::uint64_t start = kStart) {
    FillSuperblockSector(disk_.Sector(start + 128), superblock);
    FillNodeLevel(disk_.Sector(start + std::uint64_t{superblock.rootBlock} * (superblock.blockSize / 512)),
                  rootLevel);
  }
  TestWizard wizard_;
  MemoryDiskSource& disk_ = wizard_.UseMemoryDisk(4096);
};

TEST_F(SuperblockTests, MagicIsComparedIgnoringCaseAndMustEndWithinItsField) {
  struct Case {
    std::string magic;
    bool accepted;
  } cases[] = {{"ReIsErFs", true}, {"ReIsEr2Fs", true}, {"REISERFS", true}, {"reiser2fs", true},
               {"ReIsEr3Fs", true}, {"reiser3fs", true}, {"ReIsEr4Fs", false}, {"ReIsErFsX", false}, {"ReIsEr", false}, {"", false},
               {"ReIsEr2Fs!", false}};  // ten letters: no NUL left in the field
  for (const Case& c : cases) {
    CraftedSuperblock superblock;
    superblock.magic = c.magic;
    Craft(superblock);
    EXPECT_EQ(IsReiserSuperblock(wizard_.Disk(), kStart), c.accepted) << c.magic;
  }
}

TEST_F(SuperblockTests, StrictTestJudgesTheBlockSizeByWholeSectorsPerBlock) {
  for (const auto& [blockSize, accepted] :
       {std::pair{1024, true}, {1500, true}, {2048, true}, {4096, true}, {4607, true}, {512, false}, {8192, false},
        {3072, false}, {0, false}}) {
    CraftedSuperblock superblock;
    superblock.blockSize = static_cast<std::uint16_t>(blockSize);
    Craft(superblock);
    EXPECT_EQ(IsReiserPartition(wizard_.Disk(), kStart), accepted) << blockSize;
  }
}

TEST_F(SuperblockTests, StrictTestWantsNonZeroFieldsALateStartAndARootAtALevelFromOneToFive) {
  // A leaf root (a volume of a few objects) up to a root at level 5 (a tree of full height).
  for (const int level : {1, 2, 3, 4, 5}) {
    Craft({}, static_cast<std::uint16_t>(level));
    EXPECT_TRUE(IsReiserPartition(wizard_.Disk(), kStart)) << level;
  }
  for (const int level : {0, 6, 0xFFFF}) {
    Craft({}, static_cast<std::uint16_t>(level));
    EXPECT_FALSE(IsReiserPartition(wizard_.Disk(), kStart)) << level;
    EXPECT_TRUE(IsReiserSuperblock(wizard_.Disk(), kStart));
  }

  CraftedSuperblock noBlocks;
  noBlocks.blockCount = 0;
  Craft(noBlocks);
  EXPECT_FALSE(IsReiserPartition(wizard_.Disk(), kStart));
  CraftedSuperblock noRoot;
  noRoot.rootBlock = 0;
  Craft(noRoot);
  EXPECT_FALSE(IsReiserPartition(wizard_.Disk(), kStart));

  // Valid volumes at sectors 63 and 0 pass the magic test but not the strict one.
  for (const std::uint64_t start : {63u, 0u}) {
    Craft({}, 2, start);
    EXPECT_TRUE(IsReiserSuperblock(wizard_.Disk(), start));
    EXPECT_FALSE(IsReiserPartition(wizard_.Disk(), start));
  }
}

TEST_F(SuperblockTests, UnreadableSuperblockSectorFailsBothTests) {
  Craft({});
  disk_.FailSector(kStart + 128);
  wizard_.answers.AddBadSector(BadSectorAnswer::SkipAll);
  EXPECT_FALSE(IsReiserSuperblock(wizard_.Disk(), kStart));
  EXPECT_FALSE(IsReiserPartition(wizard_.Disk(), kStart));
}

TEST(ReiserSuperblock, DecodesEveryFieldAtItsOffset) {
  std::array<std::byte, 512> sector{};
  for (std::size_t i = 0; i < sector.size(); ++i) sector[i] = std::byte(i);
  const auto sb = ReiserSuperblock::Decode(sector);
  ASSERT_TRUE(sb);
  EXPECT_EQ(sb->blockCount, 0x03020100u);
  EXPECT_EQ(sb->rootBlock, 0x0B0A0908u);
  EXPECT_EQ(sb->journal[7], 0x2B2A2928u);
  EXPECT_EQ(sb->blockSize, 0x2D2Cu);
  EXPECT_EQ(sb->unmountState, 0x3332u);
  EXPECT_EQ(sb->magic[0], std::byte{52});
  EXPECT_EQ(sb->fileSystemState, 0x3F3Eu);
  EXPECT_EQ(sb->hashFunctionCode, 0x43424140u);
  EXPECT_EQ(sb->inodeGeneration, 0x4F4E4D4Cu);
  EXPECT_EQ(sb->tail[123], std::byte{203});
  EXPECT_FALSE(ReiserSuperblock::Decode(std::span(sector).first(203)));
}

}  // namespace
}  // namespace vantrel::test
