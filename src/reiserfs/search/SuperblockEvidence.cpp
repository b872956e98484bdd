#include "reiserfs/search/SuperblockEvidence.h"

#include <vector>

#include "reiserfs/format/JournalRecords.h"
#include "reiserfs/search/TreeFit.h"

namespace vantrel {

namespace {

constexpr std::uint64_t kSuperblockOffset = 65536;

}  // namespace

bool IsLoggedSuperblockCopy(const DiskReader& disk, std::uint64_t sector, const ReiserSuperblock& superblock) {
  const std::uint32_t blockSize = superblock.blockSize;
  const std::uint32_t perBlock = superblock.SectorsPerBlock();
  if (perBlock == 0 || blockSize % 512 != 0 || kSuperblockOffset % blockSize != 0) return false;
  const auto superblockBlock = static_cast<std::uint32_t>(kSuperblockOffset / blockSize);
  // The copy is the logged block `index` of a transaction whose descriptor lies index + 1
  // blocks before it; a transaction logs at most MostLoggedBlocks blocks.
  const std::uint32_t most = MostLoggedBlocks(blockSize);
  std::vector<std::byte> descriptor(blockSize);
  std::vector<std::byte> commit(blockSize);
  for (std::uint32_t index = 0; index < most; ++index) {
    const std::uint64_t back = std::uint64_t{index + 1} * perBlock;
    if (back > sector) return false;
    if (disk.ReadQuietly(sector - back, descriptor) != ReadOutcome::Ok) continue;
    const auto header = JournalDescriptor::Decode(descriptor);
    if (!header || header->length <= index || header->length > most) continue;
    // The numbers after the descriptor's share continue in the commit block.
    if (index >= BlockNumbersPerDescriptor(blockSize) &&
        disk.ReadQuietly(sector - back + std::uint64_t{header->length + 1} * perBlock, commit) != ReadOutcome::Ok)
      continue;
    const auto logged = LoggedBlockNumber(descriptor, commit, index);
    return logged && *logged == superblockBlock;
  }
  return false;
}

bool VolumeIsThere(const DiskReader& disk, std::uint64_t start, const ReiserSuperblock& superblock) {
  if (HasPlausibleRootNode(disk, start, superblock)) return true;
  const std::uint32_t perBlock = superblock.SectorsPerBlock();
  const TreeFit bitmaps = FitVolumeBitmaps(
      [&](std::uint32_t block, MutableByteSpan into) {
        return disk.ReadQuietly(start + std::uint64_t{block} * perBlock, into) == ReadOutcome::Ok;
      },
      superblock);
  return bitmaps.inPlace > 0 && bitmaps.amiss == 0;
}

}  // namespace vantrel
