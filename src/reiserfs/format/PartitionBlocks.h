#pragma once
// File-system blocks of one partition, read through the sector reader: block b
// occupies blockSize / 512 sectors from the partition start + blockSize * b / 512, unless
// the journal replayed in memory holds a newer copy of it: then the copy is read.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "base/LittleEndian.h"
#include "disk/DiskReader.h"
#include "reiserfs/format/LoggedCopies.h"
#include "reiserfs/format/ReiserSuperblock.h"

namespace vantrel {

// Largest block size that is read; ReiserFS writes 512 to 8192.
inline constexpr std::uint32_t kMaxBlockSize = 65536;

class PartitionBlocks {
 public:
  PartitionBlocks(const DiskReader& disk, std::uint64_t partitionStartSector, const ReiserSuperblock& superblock);

  // False when the superblock's block size is 0, not a multiple of 512 or too large: then
  // no block is read at all.
  bool Usable() const { return usable_; }
  std::uint32_t BlockSize() const { return blockSize_; }
  std::uint32_t BlockCount() const { return blockCount_; }
  // The block count bounded by the blocks that begin before the end of the disk: a
  // damaged superblock may claim billions of blocks on a small disk.
  std::uint32_t BlocksOnDisk() const;
  std::uint32_t SectorsPerBlock() const { return blockSize_ / 512; }
  std::uint64_t FirstSector(std::uint32_t block) const;

  // Blocks with a logged copy are read from it from now on (nothing: from their place).
  void UseLoggedCopies(std::shared_ptr<const LoggedCopies> copies) { copies_ = std::move(copies); }
  // True when a block in [first, first + count) is read from a logged copy: a caller that
  // reads the sectors of a run itself (FirstSector) reads such a run block by block.
  bool HasLoggedCopies(std::uint32_t first, std::uint64_t count) const {
    return copies_ && copies_->AnyIn(first, count);
  }

  // Called with the first sector of every block about to be read (the build status shows
  // it as "Current Sector").
  void ReportReadsTo(std::function<void(std::uint64_t)> onRead) { onRead_ = std::move(onRead); }

  // Reads block into buffer (at least BlockSize() bytes); the ReadSectors result. unread,
  // when given, tells which of the block's sectors did not arrive.
  int ReadBlock(MutableByteSpan buffer, std::uint32_t block, UnreadSectors* unread = nullptr);
  // The block in a new buffer; nothing without reading for block 0 or a block at or
  // beyond the block count, and nothing when the read failed.
  std::optional<std::vector<std::byte>> LoadBlock(std::uint32_t block);
  // Reads the neighbouring blocks from first on that fill buffer (a whole number of blocks,
  // all below the block count) in one read, without the bad-sector policy; true when every
  // byte was read.
  bool ReadBlocksQuietly(MutableByteSpan buffer, std::uint32_t first);

  const DiskReader& Disk() const { return disk_; }

 private:
  // The first sector of a logged copy, by its block on the journal's device.
  std::uint64_t CopySector(std::uint32_t copy) const {
    return copies_->startSector + std::uint64_t{copy} * SectorsPerBlock();
  }

  DiskReader disk_;
  std::uint64_t start_;
  std::uint32_t blockSize_;
  std::uint32_t blockCount_;
  bool usable_;
  std::function<void(std::uint64_t)> onRead_;
  std::shared_ptr<const LoggedCopies> copies_;
};

}  // namespace vantrel
