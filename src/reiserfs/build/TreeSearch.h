#pragma once
// Searches the live tree from its root for every leaf item of one object and one kind,
// and hands each to a consumer. The nodes read stay cached for the searches that follow.

#include <cstdint>
#include <vector>

#include "reiserfs/format/ItemDispatch.h"
#include "reiserfs/build/NodeCache.h"
#include "reiserfs/format/PartitionBlocks.h"
#include "reiserfs/format/TreeKey.h"

namespace vantrel {

class TreeSearch {
 public:
  TreeSearch(PartitionBlocks& blocks, std::uint32_t rootBlock) : blocks_(blocks), root_(rootBlock) {}

  // Calls DispatchItem for every leaf item whose key equals search under
  // CompareKeysShort, in key order. Direct items reach the consumer only when
  // deliverDirect is set.
  //
  // The descent is bounded: a child must have a lower level than its parent, and a block
  // is visited at most once per search, so that damaged pointers (loops, shared
  // children) end the branch instead of the search.
  void SearchTree(const TreeKey& search, ItemConsumer& consumer, bool deliverDirect = false);

 private:
  bool VisitNode(std::uint32_t block, std::uint32_t levelAbove);
  bool VisitLeaf(ByteSpan node, std::uint16_t itemCount);
  bool VisitInternal(ByteSpan node, std::uint16_t level, std::uint16_t itemCount);
  NodeCache::Node LoadNode(std::uint32_t block);

  PartitionBlocks& blocks_;
  std::uint32_t root_;
  NodeCache cache_;
  // The search in progress.
  TreeKey search_;
  ItemConsumer* consumer_ = nullptr;
  bool deliverDirect_ = false;
  std::vector<std::uint32_t> visited_;
};

}  // namespace vantrel
