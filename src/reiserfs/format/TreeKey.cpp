#include "reiserfs/format/TreeKey.h"

namespace vantrel {

namespace {

template <typename T>
int Order(T a, T b) {
  return a < b ? -1 : (a > b ? 1 : 0);
}

}  // namespace

TreeKey DecodeKey36(ByteSpan key) {
  const std::uint32_t last = ReadU32(key, 12);
  return {ReadU32(key, 0), ReadU32(key, 4), ReadU32(key, 8), last & 0x0FFFFFFFu, last >> 28};
}

TreeKey DecodeKey35(ByteSpan key) {
  std::uint32_t type = ReadU32(key, 12);
  if (type == kIndirectUniqueness35) type = kIndirectType;
  else if (type == kDirectUniqueness35) type = kDirectType;
  return {ReadU32(key, 0), ReadU32(key, 4), ReadU32(key, 8), 0, type};
}

std::optional<TreeKey> DecodeItemKey(ByteSpan key, std::uint16_t version) {
  if (version == kKeyVersion35) return DecodeKey35(key);
  if (version == kKeyVersion36) return DecodeKey36(key);
  return std::nullopt;
}

int CompareKeys(const TreeKey& a, const TreeKey& b) {
  if (a.dirId != b.dirId) return Order(a.dirId, b.dirId);
  if (a.objectId != b.objectId) return Order(a.objectId, b.objectId);
  const std::uint64_t offsetA = (std::uint64_t{a.offsetHigh} << 32) | a.offset;
  const std::uint64_t offsetB = (std::uint64_t{b.offsetHigh} << 32) | b.offset;
  if (offsetA != offsetB) return Order(offsetA, offsetB);
  return Order(a.type, b.type);
}

int CompareKeysShort(const TreeKey& a, const TreeKey& b) {
  if (a.dirId != b.dirId) return Order(a.dirId, b.dirId);
  if (a.objectId != b.objectId) return Order(a.objectId, b.objectId);
  return Order(a.type, b.type);
}

}  // namespace vantrel
