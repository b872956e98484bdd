#include "reiserfs/format/PartitionBlocks.h"

#include <algorithm>

namespace vantrel {

PartitionBlocks::PartitionBlocks(const DiskReader& disk, std::uint64_t partitionStartSector,
                                 const ReiserSuperblock& superblock)
    : disk_(disk),
      start_(partitionStartSector),
      blockSize_(superblock.blockSize),
      blockCount_(superblock.blockCount),
      usable_(blockSize_ != 0 && blockSize_ % kSectorSize == 0 && blockSize_ <= kMaxBlockSize) {}

std::uint32_t PartitionBlocks::BlocksOnDisk() const {
  if (!usable_) return 0;
  const auto sectors = disk_.SectorCount();
  if (!sectors) return blockCount_;
  if (*sectors <= start_) return 0;
  const std::uint64_t perBlock = SectorsPerBlock();
  const std::uint64_t onDisk = (*sectors - start_ + perBlock - 1) / perBlock;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(blockCount_, onDisk));
}

std::uint64_t PartitionBlocks::FirstSector(std::uint32_t block) const {
  return start_ + std::uint64_t{blockSize_} * block / kSectorSize;
}

int PartitionBlocks::ReadBlock(MutableByteSpan buffer, std::uint32_t block, UnreadSectors* unread) {
  if (unread != nullptr) unread->sectors.clear();
  if (!usable_ || buffer.size() < blockSize_) return 0;
  const std::uint64_t sector = FirstSector(block);
  if (onRead_) onRead_(sector);
  if (copies_) {
    if (const auto copy = copies_->CopyOf(block))
      return copies_->disk.ReadSectors(CopySector(*copy), SectorsPerBlock(), buffer.first(blockSize_), unread);
  }
  return disk_.ReadSectors(sector, SectorsPerBlock(), buffer.first(blockSize_), unread);
}

bool PartitionBlocks::ReadBlocksQuietly(MutableByteSpan buffer, std::uint32_t first) {
  if (!usable_ || buffer.empty() || buffer.size() % blockSize_ != 0) return false;
  if (std::uint64_t{first} + buffer.size() / blockSize_ > blockCount_) return false;
  const std::uint64_t sector = FirstSector(first);
  if (onRead_) onRead_(sector);
  if (disk_.ReadQuietly(sector, buffer) != ReadOutcome::Ok) return false;
  if (!copies_) return true;
  bool whole = true;
  copies_->ForEachIn(first, buffer.size() / blockSize_, [&](std::uint32_t block, std::uint32_t copy) {
    const auto into = buffer.subspan(std::size_t{block - first} * blockSize_, blockSize_);
    whole = whole && copies_->disk.ReadQuietly(CopySector(copy), into) == ReadOutcome::Ok;
  });
  return whole;
}

std::optional<std::vector<std::byte>> PartitionBlocks::LoadBlock(std::uint32_t block) {
  if (!usable_ || block == 0 || block >= blockCount_) return std::nullopt;
  std::vector<std::byte> buffer(blockSize_);
  if (ReadBlock(buffer, block) == 0) return std::nullopt;
  return buffer;
}

}  // namespace vantrel
