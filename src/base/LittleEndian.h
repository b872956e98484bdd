#pragma once
// Little-endian field readers over byte spans. On-disk structures are never cast to
// structs: every field is read at its offset, and a field that does not fit in the span
// reads as zero, so that a short or damaged buffer can never be read past its end.

#include <cstddef>
#include <cstdint>
#include <span>

namespace vantrel {

using ByteSpan = std::span<const std::byte>;
using MutableByteSpan = std::span<std::byte>;

template <typename T>
constexpr T ReadLittleEndian(ByteSpan bytes, std::size_t offset) {
  if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) return T{0};
  T value{0};
  for (std::size_t i = 0; i < sizeof(T); ++i)
    value = static_cast<T>(value | (static_cast<T>(std::to_integer<std::uint8_t>(bytes[offset + i])) << (8 * i)));
  return value;
}

constexpr std::uint16_t ReadU16(ByteSpan bytes, std::size_t offset) {
  return ReadLittleEndian<std::uint16_t>(bytes, offset);
}
constexpr std::uint32_t ReadU32(ByteSpan bytes, std::size_t offset) {
  return ReadLittleEndian<std::uint32_t>(bytes, offset);
}
constexpr std::uint64_t ReadU64(ByteSpan bytes, std::size_t offset) {
  return ReadLittleEndian<std::uint64_t>(bytes, offset);
}

template <typename T>
void WriteLittleEndian(MutableByteSpan bytes, std::size_t offset, T value) {
  if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) return;
  for (std::size_t i = 0; i < sizeof(T); ++i)
    bytes[offset + i] = static_cast<std::byte>((static_cast<std::uint64_t>(value) >> (8 * i)) & 0xFF);
}

}  // namespace vantrel
