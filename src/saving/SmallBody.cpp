#include "saving/SmallBody.h"

#include <algorithm>
#include <cstring>

namespace vantrel {

SmallBody ReadSmallBody(PartitionBlocks& blocks, const FileBody& body, std::uint64_t size, std::size_t most) {
  SmallBody small;
  const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(size, most));
  small.bytes.assign(length, std::byte{0});
  small.damaged = body.itemsUnreadable;
  const std::uint32_t blockSize = blocks.BlockSize();
  std::vector<std::byte> block(blockSize);
  const auto put = [&](std::uint64_t position, std::span<const std::byte> bytes) {
    if (position >= length) return;
    const std::size_t n = std::min<std::size_t>(bytes.size(), length - static_cast<std::size_t>(position));
    std::memcpy(small.bytes.data() + position, bytes.data(), n);
  };
  for (const BlockPointer& pointer : EffectivePointers(body, length)) {
    if (pointer.block == 0) continue;
    if (blockSize == 0 || pointer.block >= blocks.BlockCount() || blocks.ReadBlock(block, pointer.block) == 0) {
      small.damaged = true;
      continue;
    }
    put(pointer.position, block);
  }
  // Tails in the order found: a later copy of an item overwrites an earlier one.
  for (const TailBytes& tail : body.tails) put(tail.position, tail.bytes);
  return small;
}

std::optional<std::string> ReadLinkTarget(BodyCollector& bodies, const CatalogueEntry& link) {
  const SmallBody body = ReadSmallBody(bodies.Blocks(), bodies.Collect(link.objectId, link.parentId), link.size,
                                       kMostLinkBytes);
  if (body.damaged) return std::nullopt;
  std::string target(reinterpret_cast<const char*>(body.bytes.data()), body.bytes.size());
  if (const auto nul = target.find('\0'); nul != std::string::npos) target.resize(nul);
  return target;
}

}  // namespace vantrel
