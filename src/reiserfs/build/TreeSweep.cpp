#include "reiserfs/build/TreeSweep.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "base/AlignedBuffer.h"
#include "reiserfs/format/TreeNode.h"

namespace vantrel {

namespace {

// Children read in one batch at most; a node with more is read in several batches.
constexpr std::size_t kBatchChildren = 256;
// Unwanted blocks between two children that are read with them, so that one read covers
// both; a wider gap starts a new read.
constexpr std::uint32_t kGapBlocks = 8;
constexpr std::size_t kStretchBytes = std::size_t{1} << 20;

// Keys from low (included) to high (excluded); a missing bound is open.
struct Bounds {
  std::optional<TreeKey> low;
  std::optional<TreeKey> high;
};

bool Inside(const TreeKey& key, const Bounds& bounds) {
  return (!bounds.low || CompareKeys(*bounds.low, key) <= 0) && (!bounds.high || CompareKeys(key, *bounds.high) < 0);
}

class Sweep {
 public:
  Sweep(PartitionBlocks& blocks, const StopToken& stop, const std::function<void(ByteSpan)>& onLeaf)
      : blocks_(blocks), stop_(stop), onLeaf_(onLeaf), blockSize_(blocks.BlockSize()) {}

  SweepEnd Run(std::uint32_t root) {
    if (!blocks_.Usable() || !Readable(root)) return SweepEnd::Unsound;
    AlignedBuffer rootBytes(blockSize_);
    if (!blocks_.ReadBlocksQuietly(rootBytes.Bytes(), root)) return SweepEnd::Unsound;
    const NodeHeader header = ReadNodeHeader(rootBytes.Bytes());
    if (header.level < kLeafLevel || header.level > kHighestNodeLevel) return SweepEnd::Unsound;
    const bool sound = Visit(rootBytes.Bytes(), header.level, Bounds{});
    if (stopped_) return SweepEnd::Stopped;
    return sound ? SweepEnd::Sound : SweepEnd::Unsound;
  }

 private:
  bool Readable(std::uint32_t block) const { return block != 0 && block < blocks_.BlockCount(); }

  bool Visit(ByteSpan node, std::uint16_t level, const Bounds& bounds) {
    return level == kLeafLevel ? VisitLeaf(node, bounds) : VisitInternal(node, level, bounds);
  }

  bool VisitLeaf(ByteSpan leaf, const Bounds& bounds) {
    const std::uint16_t count = ReadNodeHeader(leaf).itemCount;
    if (count == 0 || kNodeHeaderSize + kItemHeaderSize * std::size_t{count} > leaf.size()) return false;
    for (std::size_t i = 0; i < count; ++i) {
      const auto item = ReadItemHeader(leaf, i);
      if (!item || item->version > kKeyVersion36 || !ItemBody(leaf, *item)) return false;
      const TreeKey key = DecodeKey36(item->rawKey);
      if (!Inside(key, bounds) || (last_ && CompareKeys(*last_, key) >= 0)) return false;
      last_ = key;
    }
    onLeaf_(leaf);
    return true;
  }

  bool VisitInternal(ByteSpan node, std::uint16_t level, const Bounds& bounds) {
    const std::size_t keys = ReadNodeHeader(node).itemCount;
    if (kNodeHeaderSize + kKeySize * keys + kChildPointerSize * (keys + 1) > node.size()) return false;
    for (std::size_t i = 0; i < keys; ++i) {
      const TreeKey key = InternalKey(node, i);
      if (!Inside(key, bounds)) return false;
      if (i > 0 && CompareKeys(InternalKey(node, i - 1), key) >= 0) return false;
    }
    const auto keyCount = static_cast<std::uint16_t>(keys);
    for (std::size_t first = 0; first <= keys; first += kBatchChildren) {
      const std::size_t end = std::min(keys + 1, first + kBatchChildren);
      if (!ReadChildren(node, keyCount, first, end, level)) return false;
      for (std::size_t i = first; i < end; ++i) {
        const ByteSpan child = Buffer(level).Bytes().subspan(offsets_[level][i - first], blockSize_);
        if (ReadNodeHeader(child).level != level - 1) return false;
        Bounds inner;
        inner.low = i == 0 ? bounds.low : std::optional<TreeKey>(InternalKey(node, i - 1));
        inner.high = i == keys ? bounds.high : std::optional<TreeKey>(InternalKey(node, i));
        if (!Visit(child, static_cast<std::uint16_t>(level - 1), inner)) return false;
      }
      if (stop_.Requested()) {
        stopped_ = true;
        return false;
      }
    }
    return true;
  }

  // Reads children [first, end) of node into the buffer of its level, in block order and
  // in stretches, and notes where each one lies in it.
  bool ReadChildren(ByteSpan node, std::uint16_t keys, std::size_t first, std::size_t end, std::uint16_t level) {
    struct Wanted {
      std::uint32_t block;
      std::size_t slot;
    };
    std::vector<Wanted> wanted;
    wanted.reserve(end - first);
    for (std::size_t i = first; i < end; ++i) {
      const std::uint32_t block = ChildBlock(node, keys, i);
      if (!Readable(block)) return false;
      wanted.push_back({block, i - first});
    }
    std::sort(wanted.begin(), wanted.end(), [](const Wanted& a, const Wanted& b) { return a.block < b.block; });
    // The stretches: runs of children whose blocks lie close together.
    const std::size_t mostPerStretch = std::max<std::size_t>(1, kStretchBytes / blockSize_);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> stretches;  // first block, block count
    std::size_t total = 0;
    for (std::size_t k = 0; k < wanted.size(); ++k) {
      const std::uint32_t block = wanted[k].block;
      if (k > 0 && block == wanted[k - 1].block) return false;  // one child under two keys
      auto& last = stretches.empty() ? stretches.emplace_back(block, 0) : stretches.back();
      const std::uint32_t lastEnd = last.first + last.second;
      if (last.second > 0 && (block - lastEnd > kGapBlocks || block + 1 - last.first > mostPerStretch)) {
        total += last.second;
        stretches.emplace_back(block, 1);
      } else {
        last.second = block + 1 - last.first;
      }
    }
    if (!stretches.empty()) total += stretches.back().second;
    AlignedBuffer& buffer = Buffer(level, total * blockSize_);
    std::vector<std::size_t>& offsets = offsets_[level];
    offsets.assign(end - first, 0);
    std::size_t at = 0;
    std::size_t k = 0;
    for (const auto& [block, count] : stretches) {
      const auto bytes = buffer.Bytes().subspan(at, std::size_t{count} * blockSize_);
      if (!blocks_.ReadBlocksQuietly(bytes, block)) return false;
      for (; k < wanted.size() && wanted[k].block < block + count; ++k)
        offsets[wanted[k].slot] = at + std::size_t{wanted[k].block - block} * blockSize_;
      at += bytes.size();
    }
    return true;
  }

  // The buffer for the children of a node at level, at least size bytes.
  AlignedBuffer& Buffer(std::uint16_t level, std::size_t size = 0) {
    auto& buffer = buffers_[level];
    // Only bytes a read has filled are looked at: the buffer need not be cleared first.
    if (!buffer || buffer->Size() < size)
      buffer = std::make_unique<AlignedBuffer>(std::max(size, kStretchBytes), AlignedBuffer::Uncleared::kYes);
    return *buffer;
  }

  PartitionBlocks& blocks_;
  const StopToken& stop_;
  const std::function<void(ByteSpan)>& onLeaf_;
  std::uint32_t blockSize_;
  std::optional<TreeKey> last_;  // the key of the last item seen
  bool stopped_ = false;
  std::array<std::unique_ptr<AlignedBuffer>, kHighestNodeLevel + 1> buffers_;
  std::array<std::vector<std::size_t>, kHighestNodeLevel + 1> offsets_;
};

}  // namespace

SweepEnd SweepTree(PartitionBlocks& blocks, std::uint32_t rootBlock, const StopToken& stop,
                   const std::function<void(ByteSpan leaf)>& onLeaf) {
  return Sweep(blocks, stop, onLeaf).Run(rootBlock);
}

}  // namespace vantrel
