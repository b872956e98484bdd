#include "reiserfs/build/NodeCache.h"

#include "reiserfs/format/PartitionBlocks.h"

namespace vantrel {

NodeCache::Node NodeCache::Find(std::uint32_t block) {
  const auto found = index_.find(block);
  if (found == index_.end()) return nullptr;
  entries_.splice(entries_.begin(), entries_, found->second);
  return found->second->node;
}

NodeCache::Node NodeCache::Insert(std::uint32_t block, std::vector<std::byte> bytes) {
  if (const auto found = index_.find(block); found != index_.end()) {
    used_ -= found->second->node->size();
    entries_.erase(found->second);
    index_.erase(found);
  }
  auto node = std::make_shared<const std::vector<std::byte>>(std::move(bytes));
  used_ += node->size();
  entries_.push_front({block, node});
  index_[block] = entries_.begin();
  while (used_ > budget_ && entries_.size() > 1) {
    used_ -= entries_.back().node->size();
    index_.erase(entries_.back().block);
    entries_.pop_back();
  }
  return node;
}

NodeCache::Node NodeCache::FindOrLoad(std::uint32_t block, PartitionBlocks& blocks) {
  if (Node node = Find(block)) return node;
  auto loaded = blocks.LoadBlock(block);
  if (!loaded) return nullptr;
  return Insert(block, std::move(*loaded));
}

void NodeCache::Clear() {
  entries_.clear();
  index_.clear();
  used_ = 0;
}

}  // namespace vantrel
