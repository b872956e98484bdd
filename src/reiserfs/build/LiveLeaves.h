#pragma once
// The leaves of the live tree, found from its root by reading only its internal nodes (a
// few hundredth of the tree): the advanced build tells with them what the live tree still
// reaches from what only older blocks hold.

#include <cstdint>
#include <optional>
#include <vector>

#include "base/StopToken.h"
#include "reiserfs/format/PartitionBlocks.h"

namespace vantrel {

class LiveLeaves {
 public:
  // Nothing when the tree cannot be told whole: an internal node that cannot be read or is
  // not one, a child at the wrong level, below block 1, past the block count or reached
  // twice, or a stop. Its internal nodes are read through blocks (with the journal's copies
  // when blocks has them), quietly.
  static std::optional<LiveLeaves> Find(PartitionBlocks& blocks, std::uint32_t rootBlock, const StopToken& stop);

  bool Contains(std::uint32_t block) const;
  std::size_t Count() const { return leaves_.size(); }

 private:
  std::vector<std::uint32_t> leaves_;  // in block order
};

}  // namespace vantrel
