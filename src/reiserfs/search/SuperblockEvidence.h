#pragma once
// What the blocks around a superblock found on the disk say of it: whether it is a copy the
// journal logged (a descriptor before it names the superblock's block as the one it copies),
// and whether the volume it describes is there (its root is a node, or, for a volume whose
// root was lost, its bitmaps lie where its layout puts them).

#include <cstdint>

#include "disk/DiskReader.h"
#include "reiserfs/format/ReiserSuperblock.h"

namespace vantrel {

// sector: where the superblock was found. A logged copy of it lies in a transaction of
// another (or the same) volume's journal, and describes that volume shifted: it is no
// partition's start.
bool IsLoggedSuperblockCopy(const DiskReader& disk, std::uint64_t sector, const ReiserSuperblock& superblock);

// The root block is a node (a level of 1 to 5), or every bitmap block read is where the
// layout puts it and marks what it must (the advanced build needs no root).
bool VolumeIsThere(const DiskReader& disk, std::uint64_t start, const ReiserSuperblock& superblock);

}  // namespace vantrel
