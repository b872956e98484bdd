// Writing a file's body: holes, unreadable blocks, tails after blocks, newer copies of an
// item, interruptions and bodies that end early.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <fstream>

#include "saving/FileBodyWriter.h"
#include "support/TempDir.h"
#include "support/TestWizard.h"

namespace vantrel::test {
namespace {

constexpr std::uint32_t kBlock = 1024;

class FileBodyWriterTest : public ::testing::Test {
 protected:
  FileBodyWriterTest() {
    superblock_.blockSize = kBlock;
    superblock_.blockCount = 64;
    for (std::uint32_t b = 1; b < 64; ++b)
      for (std::uint32_t s = 0; s < kBlock / 512; ++s)
        std::fill_n(disk_.Sector(b * 2 + s).begin(), 512, std::byte(b));
  }
  // Writes the body into a new file and returns its content.
  std::string Write(const FileBody& body, std::uint64_t size, BodyWriteHooks hooks = {}) {
    PartitionBlocks blocks(wizard_.Disk(), 0, superblock_);
    const std::string path = (dir_ / "file").string();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    result_ = FileBodyWriter(blocks).Write(fd, body, size, hooks);
    ::close(fd);
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static std::string Filled(std::size_t n, int value) { return std::string(n, static_cast<char>(value)); }
  static TailBytes Tail(std::uint64_t position, const std::string& text) {
    TailBytes tail{position, {}};
    for (const char c : text) tail.bytes.push_back(static_cast<std::byte>(c));
    return tail;
  }

  TestWizard wizard_;
  MemoryDiskSource& disk_ = wizard_.UseMemoryDisk(128);
  ReiserSuperblock superblock_;
  TempDir dir_;
  BodyWriteResult result_;
};

TEST_F(FileBodyWriterTest, BlocksAreCutAtTheSizeAndATailAfterThemIsWritten) {
  FileBody body;
  body.blocks = {{0, 5}, {kBlock, 6}, {2 * kBlock, 9}};
  body.tails = {Tail(3 * kBlock, "end")};
  const std::string content = Write(body, 3 * kBlock + 3);
  EXPECT_EQ(content, Filled(kBlock, 5) + Filled(kBlock, 6) + Filled(kBlock, 9) + "end");
  EXPECT_FALSE(result_.damaged || result_.short_ || result_.interrupted);

  EXPECT_EQ(Write(body, 1500), Filled(kBlock, 5) + Filled(476, 6));  // the last block in part
}

TEST_F(FileBodyWriterTest, HolesAreZerosAndUnreadableBlocksTooButTheFileIsDamaged) {
  FileBody body;
  body.blocks = {{0, 0}, {kBlock, 7}, {2 * kBlock, 0}};
  EXPECT_EQ(Write(body, 3 * kBlock), Filled(kBlock, 0) + Filled(kBlock, 7) + Filled(kBlock, 0));
  EXPECT_FALSE(result_.damaged);

  disk_.FailSector(7 * 2 + 1);
  wizard_.answers.AddBadSector(BadSectorAnswer::SkipAll);
  body.blocks = {{0, 6}, {kBlock, 7}, {2 * kBlock, 8}, {3 * kBlock, 500}};  // 500: past the partition
  EXPECT_EQ(Write(body, 4 * kBlock), Filled(kBlock, 6) + Filled(kBlock, 0) + Filled(kBlock, 8) + Filled(kBlock, 0));
  EXPECT_TRUE(result_.damaged);
  EXPECT_FALSE(result_.short_);
}

TEST_F(FileBodyWriterTest, AfterRetryABlockKeepsTheSectorsThatReadAndOnlyTheFailedOnesAreZeros) {
  disk_.FailSector(7 * 2 + 1);
  wizard_.answers.AddBadSector(BadSectorAnswer::RetryAll);
  FileBody body;
  body.blocks = {{0, 6}, {kBlock, 7}, {2 * kBlock, 8}};
  EXPECT_EQ(Write(body, 3 * kBlock), Filled(kBlock, 6) + Filled(512, 7) + Filled(512, 0) + Filled(kBlock, 8));
  EXPECT_TRUE(result_.damaged);
}

TEST_F(FileBodyWriterTest, LaterCopiesOfAnItemWinAndLostRangesMarkTheFile) {
  FileBody body;
  body.blocks = {{0, 3}, {0, 4}};  // an older, then a newer pointer for the same place
  body.tails = {Tail(kBlock + 2, "old tail"), Tail(kBlock, "new")};
  EXPECT_EQ(Write(body, kBlock + 3), Filled(kBlock, 4) + "new");
  EXPECT_FALSE(result_.damaged);

  FileBody gappy;
  gappy.blocks = {{kBlock, 4}};  // nothing holds the first block
  EXPECT_EQ(Write(gappy, 2 * kBlock), Filled(kBlock, 0) + Filled(kBlock, 4));
  EXPECT_TRUE(result_.damaged);
}

TEST_F(FileBodyWriterTest, BodyEndingEarlyGivesAShortFileAndAStopKeepsWhatWasWritten) {
  FileBody body;
  body.blocks = {{0, 3}};
  EXPECT_EQ(Write(body, 5000), Filled(kBlock, 3));
  EXPECT_TRUE(result_.short_);

  body.blocks = {{0, 3}, {kBlock, 20}, {2 * kBlock, 40}};  // not neighbours: one read each
  int asked = 0;
  BodyWriteHooks hooks;
  hooks.keepGoing = [&] { return ++asked < 3; };
  EXPECT_EQ(Write(body, 3 * kBlock, hooks), Filled(kBlock, 3) + Filled(kBlock, 20));
  EXPECT_TRUE(result_.interrupted);
  EXPECT_EQ(result_.length, 2u * kBlock);
}

}  // namespace
}  // namespace vantrel::test
