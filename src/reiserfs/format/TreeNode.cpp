#include "reiserfs/format/TreeNode.h"

namespace vantrel {

NodeHeader ReadNodeHeader(ByteSpan block) { return {ReadU16(block, 0), ReadU16(block, 2)}; }

TreeKey InternalKey(ByteSpan block, std::size_t i) {
  const std::size_t at = kNodeHeaderSize + kKeySize * i;
  if (at + kKeySize > block.size()) return {};
  return DecodeKey36(block.subspan(at, kKeySize));
}

std::uint32_t ChildBlock(ByteSpan block, std::uint16_t itemCount, std::size_t i) {
  return ReadU32(block, kNodeHeaderSize + kKeySize * itemCount + kChildPointerSize * i);
}

std::optional<ItemHeader> ReadItemHeader(ByteSpan block, std::size_t i) {
  const std::size_t at = kNodeHeaderSize + kItemHeaderSize * i;
  if (at + kItemHeaderSize > block.size()) return std::nullopt;
  return ItemHeader{block.subspan(at, kKeySize), ReadU16(block, at + 16), ReadU16(block, at + 18),
                    ReadU16(block, at + 20), ReadU16(block, at + 22)};
}

std::optional<ByteSpan> ItemBody(ByteSpan block, const ItemHeader& header) {
  if (std::size_t{header.location} + header.length > block.size()) return std::nullopt;
  return block.subspan(header.location, header.length);
}

}  // namespace vantrel
