#pragma once
// A real partition made small for the deep fuzz targets: the blocks up to its superblock
// stay where they are, every other block that holds anything follows them in order, and
// the block numbers in the superblock, in internal nodes and in indirect items are mapped
// to the new places (a pointer to a block of zeros becomes a hole). The tree, its journal
// copies and the file bodies read the same; a scan of every block reads far fewer.

#include <cstdint>
#include <vector>

#include "base/LittleEndian.h"

namespace vantrel::fuzz {

// The compacted copy of the partition that starts at startSector of image; aborts when
// the partition has no usable superblock.
std::vector<std::byte> CompactPartition(ByteSpan image, std::uint64_t startSector);

}  // namespace vantrel::fuzz
