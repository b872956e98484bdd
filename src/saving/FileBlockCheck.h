#pragma once
// Whether a block a file's body points at can hold file data. Blocks past the volume's end,
// the blocks the file system keeps for itself (the boot area and superblock, the bitmaps,
// the journal and its header) and the blocks where the advanced build found a leaf cannot:
// a file that points at one is not called whole, whatever its blocks read. Such pointers
// come from a geometry that does not fit the volume (a wrong start or block size) or from
// stale items whose blocks were given to something else since.

#include <cstdint>
#include <span>

#include "reiserfs/format/ReiserSuperblock.h"

namespace vantrel {

enum class MisplacedBlock : std::uint8_t { None, OutsideVolume, FileSystemArea, TreeNode };

// The words a save's summary gives a file damaged that way.
const char* MisplacedBlockReason(MisplacedBlock misplaced);

class FileBlockCheck {
 public:
  // leafBlocks: in block order (Catalogue::leafBlocks), kept by the caller.
  FileBlockCheck(const ReiserSuperblock& superblock, std::span<const std::uint32_t> leafBlocks);

  MisplacedBlock Check(std::uint32_t block) const;

 private:
  std::uint32_t blockCount_ = 0;
  std::uint32_t bitsPerBitmap_ = 0;  // 0: the block size is unusable, nothing is checked
  std::uint32_t superblockBlock_ = 0;
  std::uint64_t journalFirst_ = 0;
  std::uint64_t journalEnd_ = 0;  // after the journal header; equal to first without a journal here
  std::span<const std::uint32_t> leaves_;
};

}  // namespace vantrel
