#pragma once
// A volume's geometry found from its tree where no superblock checks out: the block size
// from the blocks that hold together as leaves at it (a leaf's item bodies end exactly at
// its block's end, so only the true size makes them hold), the format from the key layout
// of their items, and the block count from the room the partition (or the disk) leaves.
// What the caller gives by hand is taken as given.

#include <cstdint>
#include <optional>
#include <string>

#include "disk/DiskReader.h"
#include "reiserfs/format/ReiserSuperblock.h"

namespace vantrel {

// Geometry given by hand; each field left empty is inferred.
struct GeometryHints {
  std::optional<std::uint32_t> blockSize;  // 512 to 8192, a multiple of 512
  std::optional<std::uint32_t> blockCount;
  std::optional<bool> format36;  // true: 3.6, false: 3.5
};

struct InferredGeometry {
  ReiserSuperblock superblock;   // block size, count, format and magic set; no root, no journal
  std::uint32_t leavesSeen = 0;  // leaves that held together at the block size, in the sample read
  std::uint32_t blocksRead = 0;  // blocks of that size in the sample
};

// Reads a sample spread over the `sectors` sectors from start (at most 32 MiB); nothing
// when no leaf holds together at any block size (and none was given) or no block fits.
std::optional<InferredGeometry> InferGeometry(const DiskReader& disk, std::uint64_t start, std::uint64_t sectors,
                                              const GeometryHints& hints);

// "geometry found from its tree: block size 4096, 12288 blocks, format 3.6 (51 leaves in
// 8192 blocks read)".
std::string InferredGeometryText(const InferredGeometry& geometry);

// The superblock with what was given by hand put in place of its own fields.
ReiserSuperblock WithHints(ReiserSuperblock superblock, const GeometryHints& hints);

}  // namespace vantrel
