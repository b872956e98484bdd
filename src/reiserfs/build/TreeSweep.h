#pragma once
// Reads the live tree from its root in key order, every node once. The children of each
// internal node are read together, in block order, in stretches of neighbouring blocks,
// and then visited in key order; each leaf is handed to the visitor.
//
// The sweep also checks that the tree is sound: every node read whole, a root at level 1
// to 5 and every child exactly one level below its parent, no empty leaf, every item
// header and body inside its leaf with a key layout of 0 or 1, and every key (each read
// in the layout of internal keys) above the one before it and inside the bounds its
// parents give. In a sound tree a search from the root finds the items of an object in
// the leaves the sweep hands over, in the same order; where the tree is not sound the
// sweep ends at the first fault, and the caller searches instead.

#include <cstdint>
#include <functional>

#include "base/LittleEndian.h"
#include "base/StopToken.h"
#include "reiserfs/format/PartitionBlocks.h"

namespace vantrel {

enum class SweepEnd { Sound, Unsound, Stopped };

// Reads are quiet (a failed read ends the sweep as unsound, without a bad-sector prompt)
// and reported to the blocks' read observer. A stop request is looked at after each
// batch of children.
SweepEnd SweepTree(PartitionBlocks& blocks, std::uint32_t rootBlock, const StopToken& stop,
                   const std::function<void(ByteSpan leaf)>& onLeaf);

}  // namespace vantrel
