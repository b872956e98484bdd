// The bad-sector policy: prompts, sticky answers and the sector-by-sector pass.

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "support/TestWizard.h"

namespace vantrel::test {
namespace {

class SectorReaderPolicy : public ::testing::Test {
 protected:
  void SetUp() override {
    disk_ = &wizard_.UseMemoryDisk(64);
    for (std::uint64_t s = 0; s < 64; ++s) std::fill_n(disk_->Sector(s).begin(), kSectorSize, std::byte(s + 1));
    disk_->FailSector(10);
  }

  // Reads 8 sectors from 8 into a buffer filled with 0xEE; returns the result.
  int ReadRun(std::uint64_t first = 8) {
    std::fill(buffer_.begin(), buffer_.end(), std::byte{0xEE});
    return wizard_.state.disks.reader.ReadSectors({wizard_.state.disks.currentIndex, first, 8, buffer_});
  }
  std::byte At(std::uint32_t sectorInRun) const { return buffer_[sectorInRun * kSectorSize + 7]; }

  TestWizard wizard_;
  MemoryDiskSource* disk_ = nullptr;
  std::array<std::byte, 8 * kSectorSize> buffer_{};
};

TEST_F(SectorReaderPolicy, ReadableRunArrivesWholeWithoutPrompt) {
  EXPECT_NE(ReadRun(16), 0);
  EXPECT_EQ(At(0), std::byte{17});
  EXPECT_EQ(At(7), std::byte{24});
  EXPECT_EQ(wizard_.window.BadSectorPrompts(), 0);
}

TEST_F(SectorReaderPolicy, RetryPromptsOncePerFailingRequestAndKeepsTheReadableSectors) {
  wizard_.answers.AddBadSector(BadSectorAnswer::Retry);
  wizard_.answers.AddBadSector(BadSectorAnswer::Retry);
  EXPECT_EQ(ReadRun(), 0);  // still a failure, though 7 of 8 sectors arrived
  EXPECT_EQ(wizard_.window.BadSectorPrompts(), 1);
  EXPECT_EQ(At(0), std::byte{9});
  EXPECT_EQ(At(1), std::byte{10});
  EXPECT_EQ(At(2), std::byte{0});  // the bad sector is zeros, never what the buffer held before
  EXPECT_EQ(At(7), std::byte{16});
  EXPECT_EQ(ReadRun(), 0);
  EXPECT_EQ(wizard_.window.BadSectorPrompts(), 2);  // Retry is not sticky
}

TEST_F(SectorReaderPolicy, TheQuestionNamesTheFailedSectorsAndTheFileTheyWereReadFor) {
  wizard_.answers.AddBadSector(BadSectorAnswer::Skip);
  wizard_.answers.AddBadSector(BadSectorAnswer::Skip);
  wizard_.answers.AddBadSector(BadSectorAnswer::Skip);
  ReadRun();
  {
    const ReadsForFile saving("/out/docs/report.pdf");
    ReadRun(9);
    {
      const ReadsForFile inner("/out/other.txt");
      EXPECT_EQ(ReadsForFile::Current(), "/out/other.txt");
    }
    EXPECT_EQ(ReadsForFile::Current(), "/out/docs/report.pdf");
  }
  ReadRun(10);
  const auto& asked = wizard_.window.BadSectorQuestions();
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_EQ(BadSectorDetails(asked[0]), "Sectors 8 - 15");  // outside a file: the sectors alone
  EXPECT_EQ(BadSectorDetails(asked[1]), "Sectors 9 - 16\nFile : /out/docs/report.pdf");
  EXPECT_EQ(asked[2].file, "");  // the scope has ended
  EXPECT_EQ(BadSectorDetails({10, 1, ""}), "Sector 10");
}

TEST_F(SectorReaderPolicy, SkipLeavesTheBufferAsTheFailedReadLeftIt) {
  wizard_.answers.AddBadSector(BadSectorAnswer::Skip);
  EXPECT_EQ(ReadRun(), 0);
  EXPECT_EQ(At(0), std::byte{0xEE});
  EXPECT_EQ(At(7), std::byte{0xEE});
}

TEST_F(SectorReaderPolicy, RetryAllAndSkipAllAreStickyForTheRestOfTheRun) {
  wizard_.answers.AddBadSector(BadSectorAnswer::RetryAll);
  EXPECT_EQ(ReadRun(), 0);
  EXPECT_EQ(ReadRun(), 0);
  EXPECT_EQ(wizard_.window.BadSectorPrompts(), 1);
  EXPECT_EQ(At(0), std::byte{9});  // re-read sector by sector without asking
  EXPECT_EQ(wizard_.state.disks.reader.Policy(), BadSectorPolicy::RetryAll);

  TestWizard other;
  MemoryDiskSource& disk = other.UseMemoryDisk(16);
  disk.FailSector(3);
  other.answers.AddBadSector(BadSectorAnswer::SkipAll);
  std::array<std::byte, 8 * kSectorSize> buffer{};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(other.state.disks.reader.ReadSectors({0, 0, 8, buffer}), 0);
  EXPECT_EQ(other.window.BadSectorPrompts(), 1);
  // A new disk does not reset the choice.
  other.UseMemoryDisk(16).FailSector(0);
  EXPECT_EQ(other.state.disks.reader.ReadSectors({1, 0, 1, buffer}), 0);
  EXPECT_EQ(other.window.BadSectorPrompts(), 1);
}

TEST_F(SectorReaderPolicy, MissingDiskGivesZeroWithoutPromptAndUntouchedBuffer) {
  std::fill(buffer_.begin(), buffer_.end(), std::byte{0xEE});
  EXPECT_EQ(wizard_.state.disks.reader.ReadSectors({7, 0, 8, buffer_}), 0);
  EXPECT_EQ(wizard_.window.BadSectorPrompts(), 0);
  EXPECT_EQ(At(0), std::byte{0xEE});
}

TEST_F(SectorReaderPolicy, CallerLearnsWhichSectorsDidNotArrive) {
  const auto read = [&](std::uint64_t first) {
    UnreadSectors unread;
    wizard_.state.disks.reader.ReadSectors({wizard_.state.disks.currentIndex, first, 8, buffer_, &unread});
    return unread;
  };
  EXPECT_EQ(read(16).sectors, std::vector<bool>(8, false));
  wizard_.answers.AddBadSector(BadSectorAnswer::Retry);
  const UnreadSectors retried = read(8);  // sector 10 fails on its own too
  EXPECT_EQ(retried.sectors, (std::vector<bool>{false, false, true, false, false, false, false, false}));
  EXPECT_TRUE(retried.AllRead(0, 1024));
  EXPECT_FALSE(retried.AllRead(1000, 25));  // the last bytes of sector 1 and the first of 2
  EXPECT_TRUE(retried.AllRead(1536, 2560));
  EXPECT_FALSE(retried.AllRead(3584, 1024));  // beyond the request
  wizard_.answers.AddBadSector(BadSectorAnswer::Skip);
  EXPECT_EQ(read(8).sectors, std::vector<bool>(8, true));  // a skipped read holds nothing of the disk
}

TEST_F(SectorReaderPolicy, BufferTooSmallForTheRunIsRefused) {
  std::array<std::byte, kSectorSize> small{};
  EXPECT_EQ(wizard_.state.disks.reader.ReadSectors({0, 0, 2, small}), 0);
  EXPECT_EQ(disk_->Reads(), 0);
}

}  // namespace
}  // namespace vantrel::test
