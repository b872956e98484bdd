#pragma once
// The layout of a tree node: the node header, the keys and child pointers of an internal
// node, and the item headers and item bodies of a leaf. Every accessor stays inside the
// block it is given: what would lie beyond it is reported as missing.

#include <cstdint>
#include <optional>

#include "base/LittleEndian.h"
#include "reiserfs/format/TreeKey.h"

namespace vantrel {

inline constexpr std::size_t kNodeHeaderSize = 24;
inline constexpr std::size_t kChildPointerSize = 8;
inline constexpr std::size_t kItemHeaderSize = 24;

inline constexpr std::uint16_t kLeafLevel = 1;
// Levels 0 and 2 to 5 are internal nodes; anything above 5 is not a node. A tree grows
// to height 5: a root at level 3 holds at most a few tens of thousands of leaves, so large
// volumes have their root at level 4 or 5, and a volume of a few objects has a leaf root.
inline constexpr std::uint16_t kHighestNodeLevel = 5;

struct NodeHeader {
  std::uint16_t level = 0;
  std::uint16_t itemCount = 0;  // keys of an internal node, item headers of a leaf
};

NodeHeader ReadNodeHeader(ByteSpan block);

// Key i of an internal node, in the 3.6 layout.
TreeKey InternalKey(ByteSpan block, std::size_t i);
// Block number of child i of an internal node with itemCount keys; 0 (never a valid
// node) when the pointer lies beyond the block.
std::uint32_t ChildBlock(ByteSpan block, std::uint16_t itemCount, std::size_t i);

struct ItemHeader {
  ByteSpan rawKey;  // the 16 key bytes, decoded by the caller with the version
  std::uint16_t entryCount = 0;
  std::uint16_t length = 0;
  std::uint16_t location = 0;
  std::uint16_t version = 0;
};

// Header i of a leaf; nothing when the header would extend beyond the block.
std::optional<ItemHeader> ReadItemHeader(ByteSpan block, std::size_t i);

// The body of an item; nothing when location + length lies beyond the block.
std::optional<ByteSpan> ItemBody(ByteSpan block, const ItemHeader& header);

}  // namespace vantrel
