#include "disk/containers/VhdGeometrySize.h"

#include <cstring>

namespace vantrel {

namespace {

std::uint64_t BigEndian(std::span<const std::byte> bytes, std::size_t at, std::size_t length) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < length; ++i) value = value << 8 | std::to_integer<std::uint64_t>(bytes[at + i]);
  return value;
}

bool Says(std::span<const std::byte> bytes, std::size_t at, const char* text) {
  return std::memcmp(bytes.data() + at, text, std::strlen(text)) == 0;
}

}  // namespace

std::optional<std::uint64_t> VhdGeometrySize(std::span<const std::byte> footer) {
  if (footer.size() < kVhdFooterBytes || !Says(footer, 0, "conectix")) return std::nullopt;
  // Virtual PC and qemu's first VHD writer ("vpc ", "qemu") size by the geometry.
  if (!Says(footer, 28, "vpc ") && !Says(footer, 28, "qemu")) return std::nullopt;
  const std::uint64_t currentSize = BigEndian(footer, 48, 8);
  const std::uint64_t cylinders = BigEndian(footer, 56, 2);
  const std::uint64_t heads = BigEndian(footer, 58, 1);
  const std::uint64_t sectors = BigEndian(footer, 59, 1);
  if (cylinders == 65535 && heads == 16 && sectors == 255) return std::nullopt;
  const std::uint64_t bytes = cylinders * heads * sectors * 512;
  if (bytes == 0 || bytes >= currentSize) return std::nullopt;
  return bytes;
}

}  // namespace vantrel
