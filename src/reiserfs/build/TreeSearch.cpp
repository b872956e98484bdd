#include "reiserfs/build/TreeSearch.h"

#include <algorithm>

#include "reiserfs/format/TreeNode.h"

namespace vantrel {

namespace {

// The order of a key's dirId and objectId, read straight from its first 8 bytes (the same
// in both layouts), against the search key's: most keys of a node differ there, and then
// the rest of the key need not be decoded.
int ObjectOrder(ByteSpan rawKey, const TreeKey& search) {
  const std::uint32_t dirId = ReadU32(rawKey, 0);
  if (dirId != search.dirId) return dirId < search.dirId ? -1 : 1;
  const std::uint32_t objectId = ReadU32(rawKey, 4);
  if (objectId != search.objectId) return objectId < search.objectId ? -1 : 1;
  return 0;
}

}  // namespace

void TreeSearch::SearchTree(const TreeKey& search, ItemConsumer& consumer, bool deliverDirect) {
  search_ = search;
  consumer_ = &consumer;
  deliverDirect_ = deliverDirect;
  visited_.clear();
  VisitNode(root_, kHighestNodeLevel + 1u);
  consumer_ = nullptr;
}

NodeCache::Node TreeSearch::LoadNode(std::uint32_t block) { return cache_.FindOrLoad(block, blocks_); }

bool TreeSearch::VisitNode(std::uint32_t block, std::uint32_t levelAbove) {
  if (std::find(visited_.begin(), visited_.end(), block) != visited_.end()) return false;
  visited_.push_back(block);
  const NodeCache::Node node = LoadNode(block);
  if (!node) return false;
  const NodeHeader header = ReadNodeHeader(*node);
  if (header.level > kHighestNodeLevel || header.level >= levelAbove) return false;
  if (header.level == kLeafLevel) return VisitLeaf(*node, header.itemCount);
  // A level-0 node could only have children below level 0: there is nothing to visit.
  if (header.level == 0) return false;
  return VisitInternal(*node, header.level, header.itemCount);
}

bool TreeSearch::VisitLeaf(ByteSpan node, std::uint16_t itemCount) {
  bool found = false;
  for (std::size_t i = 0; i < itemCount; ++i) {
    const auto header = ReadItemHeader(node, i);
    if (!header) break;
    if (ObjectOrder(header->rawKey, search_) != 0) continue;
    const auto key = DecodeItemKey(header->rawKey, header->version);
    if (!key || CompareKeysShort(search_, *key) != 0) continue;
    const auto body = ItemBody(node, *header);
    if (!body) continue;
    DispatchItem(*key, *body, *consumer_, deliverDirect_);
    found = true;
  }
  return found;
}

bool TreeSearch::VisitInternal(ByteSpan node, std::uint16_t level, std::uint16_t itemCount) {
  if (kKeySize * itemCount > node.size()) return false;
  // Child i holds the keys below key i. Every child whose key is at or above the search
  // key is visited for as long as the children yield items; two keys in a row above the
  // search key whose children yielded nothing end the search of this node.
  int previous = -1;
  bool any = false;
  for (std::size_t i = 0; i < itemCount; ++i) {
    const std::size_t at = kNodeHeaderSize + kKeySize * i;
    int order = at + kKeySize <= node.size() ? ObjectOrder(node.subspan(at, kKeySize), search_) : 0;
    if (order == 0) order = CompareKeys(InternalKey(node, i), search_);
    if (order >= 0) {
      if (VisitNode(ChildBlock(node, itemCount, i), level)) {
        any = true;
      } else if (any) {
        return true;
      } else if (previous == 1 && order == 1) {
        return false;
      }
    }
    previous = order;
  }
  return VisitNode(ChildBlock(node, itemCount, itemCount), level);
}

}  // namespace vantrel
