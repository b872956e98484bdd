#include "reiserfs/PartitionBlocks.h"

namespace vantrel {

PartitionBlocks::PartitionBlocks(const DiskReader& disk, std::uint64_t partitionStartSector,
                                 const ReiserSuperblock& superblock)
    : disk_(disk),
      start_(partitionStartSector),
      blockSize_(superblock.blockSize),
      blockCount_(superblock.blockCount),
      usable_(blockSize_ != 0 && blockSize_ % kSectorSize == 0 && blockSize_ <= kMaxBlockSize) {}

std::uint64_t PartitionBlocks::FirstSector(std::uint32_t block) const {
  return start_ + std::uint64_t{blockSize_} * block / kSectorSize;
}

int PartitionBlocks::ReadBlock(MutableByteSpan buffer, std::uint32_t block) {
  if (!usable_ || buffer.size() < blockSize_) return 0;
  const std::uint64_t sector = FirstSector(block);
  if (onRead_) onRead_(sector);
  return disk_.ReadSectors(sector, SectorsPerBlock(), buffer.first(blockSize_));
}

std::optional<std::vector<std::byte>> PartitionBlocks::LoadBlock(std::uint32_t block) {
  if (!usable_ || block == 0 || block >= blockCount_) return std::nullopt;
  std::vector<std::byte> buffer(blockSize_);
  if (ReadBlock(buffer, block) == 0) return std::nullopt;
  return buffer;
}

}  // namespace vantrel
