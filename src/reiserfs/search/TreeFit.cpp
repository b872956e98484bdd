#include "reiserfs/search/TreeFit.h"

#include <algorithm>
#include <deque>
#include <vector>

#include "reiserfs/format/TreeKey.h"
#include "reiserfs/format/TreeNode.h"

namespace vantrel {

namespace {

// The folder and object of a key: what delimiting keys order first.
struct ObjectOf {
  std::uint32_t dirId = 0;
  std::uint32_t objectId = 0;
  auto operator<=>(const ObjectOf&) const = default;
};

struct PendingNode {
  std::uint32_t block = 0;
  std::uint16_t level = 0;
  std::optional<ObjectOf> left;
  std::optional<ObjectOf> right;
};

constexpr std::uint32_t kMostBitmapsChecked = 32;

std::optional<ObjectOf> FirstKeyOf(ByteSpan node, std::uint16_t level) {
  if (level > kLeafLevel) {
    const TreeKey key = InternalKey(node, 0);
    return ObjectOf{key.dirId, key.objectId};
  }
  const auto header = ReadItemHeader(node, 0);
  if (!header) return std::nullopt;
  const auto key = DecodeItemKey(header->rawKey, header->version);
  if (!key) return std::nullopt;
  return ObjectOf{key->dirId, key->objectId};
}

bool WithinKeys(const PendingNode& pending, const std::optional<ObjectOf>& first) {
  if (!first) return false;
  if (pending.left && *first < *pending.left) return false;
  return !pending.right || *first <= *pending.right;
}

bool ReadBlock(DiskSource& disk, std::uint64_t startByte, std::uint32_t block, std::vector<std::byte>& buffer) {
  return disk.Read(startByte + std::uint64_t{block} * buffer.size(), buffer) == ReadOutcome::Ok;
}

}  // namespace

bool NodeHoldsTogether(ByteSpan block, std::uint16_t level) {
  if (block.size() < kNodeHeaderSize) return false;
  const NodeHeader header = ReadNodeHeader(block);
  const std::size_t freeSpace = ReadU16(block, 4);
  const std::size_t count = header.itemCount;
  if (header.level != level || count == 0) return false;
  if (level > kLeafLevel) {
    const std::size_t used = kNodeHeaderSize + kKeySize * count + kChildPointerSize * (count + 1);
    return used <= block.size() && freeSpace == block.size() - used;
  }
  // Item bodies are packed from the block's end down, in item order.
  const std::size_t headersEnd = kNodeHeaderSize + kItemHeaderSize * count;
  if (headersEnd > block.size()) return false;
  std::size_t bodyEnd = block.size();
  for (std::size_t i = 0; i < count; ++i) {
    const auto item = ReadItemHeader(block, i);
    if (!item || std::size_t{item->location} + item->length != bodyEnd || item->location < headersEnd) return false;
    bodyEnd = item->location;
  }
  return freeSpace == bodyEnd - headersEnd;
}

TreeFit FitVolumeBitmaps(const VolumeBlockRead& read, const ReiserSuperblock& superblock) {
  TreeFit fit;
  const std::uint32_t blockSize = superblock.blockSize;
  if (!superblock.IsPlausible() || blockSize > 8192) return fit;
  std::vector<std::byte> buffer(blockSize);
  const std::uint64_t perBitmap = std::uint64_t{blockSize} * 8;
  const std::uint64_t bitmaps = (std::uint64_t{superblock.blockCount} + perBitmap - 1) / perBitmap;
  const std::uint32_t firstBitmap = 65536 / blockSize + 1;
  for (std::uint64_t k = 0; k < std::min<std::uint64_t>(bitmaps, kMostBitmapsChecked); ++k) {
    const auto block = static_cast<std::uint32_t>(k == 0 ? firstBitmap : k * perBitmap);
    if (!read(block, buffer)) continue;
    bool used = true;
    const std::uint32_t marked = k == 0 ? firstBitmap + 1 : 1;
    for (std::uint32_t bit = 0; bit < marked && used; ++bit)
      used = (std::to_integer<unsigned>(buffer[bit / 8]) >> (bit % 8) & 1u) != 0;
    ++(used ? fit.inPlace : fit.amiss);
  }
  return fit;
}

TreeFit FitVolumeTree(DiskSource& disk, std::uint64_t startByte, const ReiserSuperblock& superblock,
                      std::uint32_t blockBudget) {
  TreeFit fit;
  const std::uint32_t blockSize = superblock.blockSize;
  if (!superblock.IsPlausible() || blockSize > 8192) return fit;
  std::vector<std::byte> buffer(blockSize);
  // The height counts one more than the root's level (a tree of one leaf is of height 2).
  const bool heightKnown = superblock.treeHeight > kLeafLevel && superblock.treeHeight <= kHighestNodeLevel + 1;
  const std::uint16_t rootLevel = heightKnown ? static_cast<std::uint16_t>(superblock.treeHeight - 1) : 0;

  std::deque<PendingNode> pending;
  pending.push_back({superblock.rootBlock, rootLevel, {}, {}});
  std::uint32_t read = 0;
  while (!pending.empty() && read < blockBudget) {
    PendingNode node = pending.front();
    pending.pop_front();
    if (node.block == 0 || node.block >= superblock.blockCount) {
      ++fit.amiss;
      continue;
    }
    ++read;
    if (!ReadBlock(disk, startByte, node.block, buffer)) continue;
    if (node.level == 0) node.level = ReadNodeHeader(buffer).level;  // a root of unknown height
    const bool holds = node.level >= kLeafLevel && node.level <= kHighestNodeLevel &&
                       NodeHoldsTogether(buffer, node.level) && WithinKeys(node, FirstKeyOf(buffer, node.level));
    if (!holds) {
      ++fit.amiss;
      // A root that does not hold together says enough about this guess.
      if (read == 1) return fit;
      continue;
    }
    ++fit.inPlace;
    if (node.level == kLeafLevel) continue;
    const std::uint16_t keys = ReadNodeHeader(buffer).itemCount;
    for (std::size_t i = 0; i <= keys; ++i) {
      PendingNode child{ChildBlock(buffer, keys, i), static_cast<std::uint16_t>(node.level - 1), node.left, node.right};
      if (i > 0) child.left = ObjectOf{InternalKey(buffer, i - 1).dirId, InternalKey(buffer, i - 1).objectId};
      if (i < keys) child.right = ObjectOf{InternalKey(buffer, i).dirId, InternalKey(buffer, i).objectId};
      pending.push_back(child);
    }
  }
  const TreeFit bitmaps = FitVolumeBitmaps(
      [&](std::uint32_t block, MutableByteSpan into) {
        return disk.Read(startByte + std::uint64_t{block} * into.size(), into) == ReadOutcome::Ok;
      },
      superblock);
  fit.inPlace += bitmaps.inPlace;
  fit.amiss += bitmaps.amiss;
  return fit;
}

}  // namespace vantrel
