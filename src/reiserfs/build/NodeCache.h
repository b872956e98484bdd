#pragma once
// The tree nodes a build has loaded, kept so that the searches of one build read each
// node from the disk once. Least recently used nodes are dropped beyond the budget.
// Only nodes that were read whole are kept: a node whose read failed is read (and the
// bad sector reported) again at its next use.

#include <cstdint>
#include <list>
#include <memory>
#include <unordered_map>
#include <vector>

namespace vantrel {

class PartitionBlocks;

class NodeCache {
 public:
  explicit NodeCache(std::size_t budgetBytes = std::size_t{64} << 20) : budget_(budgetBytes) {}

  using Node = std::shared_ptr<const std::vector<std::byte>>;

  // The node, or nullptr when it is not kept. A node handed out stays valid while the
  // caller holds it, even when the cache drops it meanwhile.
  Node Find(std::uint32_t block);
  Node Insert(std::uint32_t block, std::vector<std::byte> node);
  // The cached block, or else the block the blocks give (kept for next time); nullptr when
  // it cannot be loaded.
  Node FindOrLoad(std::uint32_t block, PartitionBlocks& blocks);
  void Clear();

 private:
  struct Entry {
    std::uint32_t block;
    Node node;
  };
  std::size_t budget_;
  std::size_t used_ = 0;
  std::list<Entry> entries_;  // most recently used first
  std::unordered_map<std::uint32_t, std::list<Entry>::iterator> index_;
};

}  // namespace vantrel
