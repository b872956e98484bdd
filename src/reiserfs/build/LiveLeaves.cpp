#include "reiserfs/build/LiveLeaves.h"

#include <algorithm>

#include "base/AlignedBuffer.h"
#include "reiserfs/format/TreeNode.h"

namespace vantrel {

std::optional<LiveLeaves> LiveLeaves::Find(PartitionBlocks& blocks, std::uint32_t rootBlock, const StopToken& stop) {
  const std::uint32_t count = blocks.BlockCount();
  if (!blocks.Usable() || rootBlock == 0 || rootBlock >= count) return std::nullopt;
  AlignedBuffer buffer(blocks.BlockSize());
  const MutableByteSpan bytes = buffer.Bytes();
  if (!blocks.ReadBlocksQuietly(bytes, rootBlock)) return std::nullopt;
  std::uint16_t level = ReadNodeHeader(bytes).level;
  if (level < kLeafLevel || level > kHighestNodeLevel) return std::nullopt;

  LiveLeaves live;
  std::vector<std::uint32_t> nodes{rootBlock};  // the nodes of this level
  std::vector<std::uint32_t> seen{rootBlock};   // every node of the levels read, sorted
  // Each level is read in block order; the levels are at most five, each child one below its
  // parent, and no block is taken twice, so the descent ends.
  while (level > kLeafLevel) {
    std::vector<std::uint32_t> children;
    for (const std::uint32_t node : nodes) {
      if (stop.Requested() || !blocks.ReadBlocksQuietly(bytes, node)) return std::nullopt;
      const NodeHeader header = ReadNodeHeader(bytes);
      const std::size_t keys = header.itemCount;
      if (header.level != level || kNodeHeaderSize + kKeySize * keys + kChildPointerSize * (keys + 1) > bytes.size())
        return std::nullopt;
      for (std::size_t i = 0; i <= keys; ++i) {
        const std::uint32_t child = ChildBlock(bytes, header.itemCount, i);
        if (child == 0 || child >= count) return std::nullopt;
        children.push_back(child);
      }
    }
    std::sort(children.begin(), children.end());
    if (std::adjacent_find(children.begin(), children.end()) != children.end()) return std::nullopt;
    std::vector<std::uint32_t> merged;
    std::set_union(seen.begin(), seen.end(), children.begin(), children.end(), std::back_inserter(merged));
    if (merged.size() != seen.size() + children.size()) return std::nullopt;  // a loop
    seen = std::move(merged);
    nodes = std::move(children);
    --level;
  }
  live.leaves_ = std::move(nodes);
  return live;
}

bool LiveLeaves::Contains(std::uint32_t block) const {
  return std::binary_search(leaves_.begin(), leaves_.end(), block);
}

}  // namespace vantrel
