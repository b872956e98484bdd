#include "saving/FileBlockCheck.h"

#include <algorithm>

namespace vantrel {

namespace {

constexpr std::uint32_t kSuperblockOffset = 65536;
constexpr std::size_t kJournalFirstBlock = 0, kJournalDevice = 1, kJournalSize = 2;

}  // namespace

const char* MisplacedBlockReason(MisplacedBlock misplaced) {
  switch (misplaced) {
    case MisplacedBlock::None: return "";
    case MisplacedBlock::OutsideVolume: return "blocks outside the volume written as zeros";
    case MisplacedBlock::FileSystemArea: return "blocks on the superblock, bitmaps or journal";
    case MisplacedBlock::TreeNode: return "blocks on tree nodes";
  }
  return "";
}

FileBlockCheck::FileBlockCheck(const ReiserSuperblock& superblock, std::span<const std::uint32_t> leafBlocks)
    : blockCount_(superblock.blockCount), leaves_(leafBlocks) {
  const std::uint32_t size = superblock.blockSize;
  if (size < 512 || size > kSuperblockOffset || size % 512 != 0) return;
  bitsPerBitmap_ = size * 8;
  superblockBlock_ = kSuperblockOffset / size;
  if (superblock.journal[kJournalDevice] != 0) return;  // a journal on another device
  journalFirst_ = superblock.journal[kJournalFirstBlock];
  journalEnd_ = journalFirst_ + std::uint64_t{superblock.journal[kJournalSize]} + 1;
}

MisplacedBlock FileBlockCheck::Check(std::uint32_t block) const {
  if (block >= blockCount_) return MisplacedBlock::OutsideVolume;
  if (bitsPerBitmap_ == 0) return MisplacedBlock::None;
  // The boot area and the superblock, the first bitmap after it, each further bitmap at
  // the first block of the blocks it maps, and the journal.
  const bool bitmap = block == superblockBlock_ + 1 || block % bitsPerBitmap_ == 0;
  if (block <= superblockBlock_ || bitmap || (block >= journalFirst_ && block < journalEnd_))
    return MisplacedBlock::FileSystemArea;
  if (std::binary_search(leaves_.begin(), leaves_.end(), block)) return MisplacedBlock::TreeNode;
  return MisplacedBlock::None;
}

}  // namespace vantrel
