// A file's bytes read at any offset and length, as the kernel and odd readers ask for them:
// runs of blocks, holes, tails, unreadable and impossible blocks, missing stretches.

#include "mount/FileContent.h"

#include <gtest/gtest.h>

#include "support/MemoryDiskSource.h"

namespace vantrel::mount {
namespace {

constexpr std::uint32_t kBlock = 1024;

class FileContentTest : public ::testing::Test {
 protected:
  FileContentTest() {
    auto source = std::make_unique<test::MemoryDiskSource>(128);
    disk_ = source.get();
    names_.Add({"memory", {}, std::move(source)});
    superblock_.blockSize = kBlock;
    superblock_.blockCount = 64;
    for (std::uint32_t b = 1; b < 64; ++b)
      for (std::uint32_t s = 0; s < kBlock / 512; ++s) std::fill_n(disk_->Sector(b * 2 + s).begin(), 512, std::byte(b));
  }

  // The whole file read in pieces of `piece` bytes; damaged when any piece was.
  std::string ReadAll(const FileContent& content, std::size_t piece, bool* damaged = nullptr) {
    PartitionBlocks blocks(DiskReader(reader_, 0), 0, superblock_);
    std::string all;
    std::vector<std::byte> buffer(piece);
    for (std::uint64_t at = 0;; at += piece) {
      const ContentRead read = content.Read(blocks, at, buffer);
      if (damaged) *damaged = *damaged || read.damaged;
      if (read.length == 0) break;
      all.append(reinterpret_cast<const char*>(buffer.data()), read.length);
    }
    return all;
  }
  static std::string Filled(std::size_t n, int value) { return std::string(n, static_cast<char>(value)); }
  static TailBytes Tail(std::uint64_t position, const std::string& text) {
    TailBytes tail{position, {}};
    for (const char c : text) tail.bytes.push_back(static_cast<std::byte>(c));
    return tail;
  }

  DiskNameTable names_;
  SectorReader reader_{names_};  // no prompt: a failed read is skipped
  test::MemoryDiskSource* disk_ = nullptr;
  ReiserSuperblock superblock_;
};

TEST_F(FileContentTest, AnyPieceSizeGivesTheSameBytesAsSaving) {
  FileBody body;
  // A run of neighbouring blocks, a hole, a block elsewhere, then the tail.
  body.blocks = {{0, 5}, {kBlock, 6}, {2 * kBlock, 7}, {3 * kBlock, 0}, {4 * kBlock, 20}};
  body.tails = {Tail(5 * kBlock, "the end")};
  const FileContent content(body, 5 * kBlock + 7, kBlock, 64);
  const std::string expected = Filled(kBlock, 5) + Filled(kBlock, 6) + Filled(kBlock, 7) + Filled(kBlock, 0) +
                               Filled(kBlock, 20) + "the end";
  for (const std::size_t piece : {std::size_t{1} << 20, std::size_t{4096}, std::size_t{700}, std::size_t{1}}) {
    bool damaged = false;
    EXPECT_EQ(ReadAll(content, piece, &damaged), expected) << piece;
    EXPECT_FALSE(damaged) << piece;
  }
  EXPECT_FALSE(content.KnownDamaged());
  EXPECT_EQ(content.CoveredEnd(), 5 * kBlock + 7);
}

TEST_F(FileContentTest, UnreadableImpossibleAndMissingBytesAreZerosAndDamaged) {
  disk_->FailSector(6 * 2 + 1);
  FileBody body;
  body.blocks = {{0, 5}, {kBlock, 6}, {2 * kBlock, 7}};
  const FileContent failing(body, 3 * kBlock, kBlock, 64);
  EXPECT_FALSE(failing.KnownDamaged());  // only a read can tell
  bool damaged = false;
  EXPECT_EQ(ReadAll(failing, 4096, &damaged), Filled(kBlock, 5) + Filled(kBlock, 0) + Filled(kBlock, 7));
  EXPECT_TRUE(damaged);
  damaged = false;
  EXPECT_EQ(ReadAll(failing, 1000, &damaged).substr(0, 1000), Filled(1000, 5));

  // A block number past the partition, and a stretch that no item accounts for.
  body.blocks = {{0, 500}, {2 * kBlock, 7}};
  const FileContent broken(body, 3 * kBlock + 10, kBlock, 64);
  EXPECT_TRUE(broken.KnownDamaged());
  EXPECT_EQ(broken.CoveredEnd(), 3 * kBlock);
  PartitionBlocks blocks(DiskReader(reader_, 0), 0, superblock_);
  std::vector<std::byte> buffer(kBlock);
  EXPECT_TRUE(broken.Read(blocks, 0, buffer).damaged);
  EXPECT_TRUE(broken.Read(blocks, kBlock, buffer).damaged);  // the missing second block
  EXPECT_FALSE(broken.Read(blocks, 2 * kBlock, buffer).damaged);
  const ContentRead last = broken.Read(blocks, 3 * kBlock, buffer);  // past what the items cover
  EXPECT_EQ(last.length, 10u);
  EXPECT_TRUE(last.damaged);
  EXPECT_EQ(broken.Read(blocks, 4 * kBlock, buffer).length, 0u);
}

TEST_F(FileContentTest, LaterCopiesWinAndNothingIsReadPastTheSize) {
  FileBody body;
  body.blocks = {{0, 3}, {0, 4}, {kBlock, 9}};
  body.tails = {Tail(10, "old"), Tail(10, "new")};
  const FileContent content(body, 100, kBlock, 64);
  EXPECT_EQ(ReadAll(content, 64), Filled(10, 4) + "new" + Filled(87, 4));
}

}  // namespace
}  // namespace vantrel::mount
