#pragma once
// How well a ReiserFS volume holds together when read through a candidate disk (an array
// put together with guessed parameters): its tree is walked from the root, and every node
// is checked where its parent's pointer says it lies (its level one below the parent's,
// its free space agreeing with its items, its first key within the parent's delimiting
// keys); its bitmap blocks are checked where the volume's layout puts them. A wrong guess
// reads other stripes' blocks in their place and the walk meets them soon.

#include <cstdint>
#include <functional>

#include "disk/DiskSource.h"
#include "reiserfs/format/ReiserSuperblock.h"

namespace vantrel {

struct TreeFit {
  std::uint64_t inPlace = 0;  // nodes and bitmap blocks found where expected
  std::uint64_t amiss = 0;    // blocks that are not what their place should hold
  // Nodes in place count, blocks amiss count four times against them.
  std::int64_t Score() const { return static_cast<std::int64_t>(inPlace) - 4 * static_cast<std::int64_t>(amiss); }
};

// Walks the volume whose superblock is `superblock`, starting at byte `startByte` of disk,
// reading at most `blockBudget` blocks (breadth first: the upper levels are always seen).
TreeFit FitVolumeTree(DiskSource& disk, std::uint64_t startByte, const ReiserSuperblock& superblock,
                      std::uint32_t blockBudget);

// Reads block `block` of the volume into a buffer of its block size; false when it could not.
using VolumeBlockRead = std::function<bool(std::uint32_t block, MutableByteSpan into)>;

// The volume's bitmap blocks (the first 32) checked where its layout puts them: the first
// follows the superblock and marks every block up to itself used, each further one is the
// first block of the blocks it maps and marks itself used.
TreeFit FitVolumeBitmaps(const VolumeBlockRead& read, const ReiserSuperblock& superblock);

// True when the bytes are a tree node of `level` whose header and item table hold together.
bool NodeHoldsTogether(ByteSpan block, std::uint16_t level);

}  // namespace vantrel
