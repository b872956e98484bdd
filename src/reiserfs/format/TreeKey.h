#pragma once
// Keys of the balanced tree: 16 bytes on disk in two layouts, decoded into one TreeKey, and
// the two orders in which the tree reading compares them.

#include <cstdint>
#include <optional>

#include "base/LittleEndian.h"

namespace vantrel {

inline constexpr std::size_t kKeySize = 16;

// Item types, one number space for both layouts.
inline constexpr std::uint32_t kStatDataType = 0;
inline constexpr std::uint32_t kIndirectType = 1;
inline constexpr std::uint32_t kDirectType = 2;
inline constexpr std::uint32_t kDirectoryType = 500;

// The uniqueness values of the 3.5 layout for indirect and direct items.
inline constexpr std::uint32_t kIndirectUniqueness35 = 0xFFFFFFFE;
inline constexpr std::uint32_t kDirectUniqueness35 = 0xFFFFFFFF;

// Item header versions: which layout the item's key uses.
inline constexpr std::uint16_t kKeyVersion35 = 0;
inline constexpr std::uint16_t kKeyVersion36 = 1;

struct TreeKey {
  std::uint32_t dirId = 0;     // object id of the folder the object was created in
  std::uint32_t objectId = 0;
  std::uint32_t offset = 0;      // low 32 bits of the offset (3.6) or the whole offset (3.5)
  std::uint32_t offsetHigh = 0;  // offset bits 32 to 59 (3.6); 0 in the 3.5 layout
  std::uint32_t type = 0;
  bool operator==(const TreeKey&) const = default;
};

// The 3.6 layout: the last u32 holds 28 offset bits and a 4-bit type. Keys of internal
// nodes carry no version and are always read this way.
TreeKey DecodeKey36(ByteSpan key);

// The 3.5 layout: the last u32 is the uniqueness, taken as the type; the uniqueness values
// of indirect and direct items are mapped to their types so that 3.5 file bodies are found
// like 3.6 ones.
TreeKey DecodeKey35(ByteSpan key);

// The key of a leaf item by its header's version; nothing for a version other than 0 or 1.
std::optional<TreeKey> DecodeItemKey(ByteSpan key, std::uint16_t version);

// -1, 0 or 1: dirId, objectId, the offset as one number, then type, all unsigned.
int CompareKeys(const TreeKey& a, const TreeKey& b);
// -1, 0 or 1: dirId, objectId, then type; the offset is ignored, so that every item of
// one kind of one object compares equal to a search key.
int CompareKeysShort(const TreeKey& a, const TreeKey& b);

}  // namespace vantrel
