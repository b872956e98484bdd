#include "CompactPartition.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

#include "disk/SectorReader.h"
#include "reiserfs/format/ReiserSuperblock.h"
#include "reiserfs/format/TreeKey.h"
#include "reiserfs/format/TreeNode.h"

namespace vantrel::fuzz {

namespace {

bool AllZero(ByteSpan bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](std::byte b) { return b == std::byte{0}; });
}

std::uint32_t Mapped(const std::unordered_map<std::uint32_t, std::uint32_t>& map, std::uint32_t block) {
  const auto it = map.find(block);
  return it == map.end() ? 0 : it->second;
}

// Maps the child pointers of an internal node and the block numbers of a leaf's indirect
// items; other blocks are left alone.
void MapPointers(MutableByteSpan block, const std::unordered_map<std::uint32_t, std::uint32_t>& map) {
  const NodeHeader header = ReadNodeHeader(block);
  if (header.level < kLeafLevel || header.level > kHighestNodeLevel) return;
  if (header.level > kLeafLevel) {
    const std::size_t pointers = kNodeHeaderSize + kKeySize * header.itemCount;
    for (std::size_t i = 0; i <= header.itemCount; ++i) {
      const std::size_t at = pointers + kChildPointerSize * i;
      WriteLittleEndian(block, at, Mapped(map, ReadU32(block, at)));
    }
    return;
  }
  for (std::size_t i = 0; i < header.itemCount; ++i) {
    const auto item = ReadItemHeader(block, i);
    if (!item) return;
    const auto key = DecodeItemKey(item->rawKey, item->version);
    if (!key || key->type != kIndirectType || !ItemBody(block, *item)) continue;
    for (std::size_t at = item->location; at + 4 <= std::size_t{item->location} + item->length; at += 4)
      WriteLittleEndian(block, at, Mapped(map, ReadU32(block, at)));
  }
}

}  // namespace

std::vector<std::byte> CompactPartition(ByteSpan image, std::uint64_t startSector) {
  const std::uint64_t start = startSector * kSectorSize;
  if (start >= image.size()) std::abort();
  const ByteSpan partition = image.subspan(start);
  const auto superblock = ReiserSuperblock::Decode(partition.subspan(std::min<std::size_t>(65536, partition.size())));
  if (!superblock || superblock->blockSize == 0 || superblock->blockSize % kSectorSize != 0) std::abort();
  const std::uint32_t blockSize = superblock->blockSize;
  const std::uint32_t superblockBlock = 65536 / blockSize;
  const std::uint64_t blocks = std::min<std::uint64_t>(superblock->blockCount, partition.size() / blockSize);

  std::unordered_map<std::uint32_t, std::uint32_t> map;
  std::vector<std::uint32_t> kept;
  for (std::uint32_t b = 0; b <= superblockBlock; ++b) {
    map[b] = b;
    kept.push_back(b);
  }
  for (std::uint32_t b = superblockBlock + 1; b < blocks; ++b) {
    if (AllZero(partition.subspan(std::uint64_t{b} * blockSize, blockSize))) continue;
    map[b] = static_cast<std::uint32_t>(kept.size());
    kept.push_back(b);
  }

  std::vector<std::byte> out(kept.size() * std::size_t{blockSize});
  for (std::size_t n = 0; n < kept.size(); ++n) {
    const auto from = partition.subspan(std::uint64_t{kept[n]} * blockSize, blockSize);
    const MutableByteSpan to = std::span(out).subspan(n * blockSize, blockSize);
    std::copy(from.begin(), from.end(), to.begin());
    if (kept[n] > superblockBlock) MapPointers(to, map);
  }
  ReiserSuperblock compact = *superblock;
  compact.blockCount = static_cast<std::uint32_t>(kept.size());
  compact.rootBlock = Mapped(map, superblock->rootBlock);
  const auto encoded = compact.Encode();
  std::copy(encoded.begin(), encoded.end(), out.begin() + 65536);
  return out;
}

}  // namespace vantrel::fuzz
