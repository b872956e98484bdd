#include "stacks/LvmLabel.h"

#include <array>
#include <cctype>
#include <cstring>
#include <string_view>

#include "disk/SectorReader.h"
#include "base/LittleEndian.h"

namespace vantrel {

namespace {

constexpr std::size_t kSectorBytes = kSectorSize;
constexpr std::size_t kMaxAreas = 8;
constexpr std::size_t kMdaHeaderBytes = 512;
constexpr std::uint64_t kMaxMetadataAreaBytes = std::uint64_t{64} * 1024 * 1024;
constexpr std::string_view kMdaMagic = " LVM2 x[5A%r0N*>";

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t value = i;
    for (int bit = 0; bit < 8; ++bit) value = (value & 1) ? (value >> 1) ^ 0xedb88320u : value >> 1;
    table[i] = value;
  }
  return table;
}
constexpr auto kCrcTable = MakeCrcTable();

bool HasText(std::span<const std::byte> bytes, std::size_t at, std::string_view text) {
  return at <= bytes.size() && bytes.size() - at >= text.size() &&
         std::memcmp(bytes.data() + at, text.data(), text.size()) == 0;
}

// The text starting at offset of the area, taken up to its terminating NUL, up to `size`
// bytes, wrapping past the area's end to just after its header as the writer does.
std::string CopyText(std::span<const std::byte> area, std::uint64_t offset, std::uint64_t size) {
  std::string text;
  if (offset < kMdaHeaderBytes || offset >= area.size() || size > area.size() - kMdaHeaderBytes) return text;
  text.reserve(static_cast<std::size_t>(size));
  std::uint64_t at = offset;
  for (std::uint64_t i = 0; i < size; ++i) {
    if (at >= area.size()) at = kMdaHeaderBytes;
    text += static_cast<char>(area[static_cast<std::size_t>(at++)]);
  }
  return text;
}

// A copy starts with the group's name and its opening brace: "store {".
bool LooksLikeGroupStart(std::string_view text) {
  std::size_t n = 0;
  while (n < text.size() && n < 128 &&
         (std::isalnum(static_cast<unsigned char>(text[n])) || text[n] == '_' || text[n] == '-' || text[n] == '.' ||
          text[n] == '+'))
    ++n;
  return n > 0 && text.substr(n, 2) == " {";
}

std::optional<LvmVolumeGroup> Better(std::optional<LvmVolumeGroup> a, std::optional<LvmVolumeGroup> b) {
  if (!a) return b;
  if (!b) return a;
  return b->seqno > a->seqno ? b : a;
}

}  // namespace

std::uint32_t LvmChecksum(std::span<const std::byte> bytes, std::uint32_t initial) {
  std::uint32_t crc = initial;
  for (const std::byte b : bytes) crc = (crc >> 8) ^ kCrcTable[(crc ^ std::to_integer<std::uint8_t>(b)) & 0xff];
  return crc;
}

std::optional<LvmPhysicalVolumeLabel> DecodeLvmLabel(std::span<const std::byte> sector, std::uint64_t number) {
  if (sector.size() < kSectorBytes || !HasText(sector, 0, "LABELONE") || !HasText(sector, 24, "LVM2 001"))
    return std::nullopt;
  if (ReadU64(sector, 8) != number || LvmChecksum(sector.subspan(20, kSectorBytes - 20)) != ReadU32(sector, 16))
    return std::nullopt;
  const std::uint32_t headerAt = ReadU32(sector, 20);
  // The header: the PV's UUID, its size, then two lists of areas, each ended by a zero entry.
  if (headerAt < 32 || headerAt + 40 > kSectorBytes) return std::nullopt;
  LvmPhysicalVolumeLabel label;
  for (std::size_t i = 0; i < 32; ++i) label.uuid += static_cast<char>(sector[headerAt + i]);
  label.deviceBytes = ReadU64(sector, headerAt + 32);
  std::size_t at = headerAt + 40;
  for (int list = 0; list < 2; ++list) {
    for (std::size_t n = 0;; ++n) {
      if (at + 16 > kSectorBytes || n > kMaxAreas) return std::nullopt;
      const LvmArea area{ReadU64(sector, at), ReadU64(sector, at + 8)};
      at += 16;
      if (area.offsetBytes == 0) break;
      if (list == 1) label.metadataAreas.push_back(area);
    }
  }
  return label;
}

std::optional<LvmPhysicalVolumeLabel> FindLvmLabel(DiskSource& volume) {
  std::vector<std::byte> sectors(4 * kSectorBytes);
  if (volume.Read(0, sectors) != ReadOutcome::Ok) return std::nullopt;
  for (std::uint64_t n = 0; n < 4; ++n)
    if (auto label = DecodeLvmLabel(std::span(sectors).subspan(n * kSectorBytes, kSectorBytes), n)) return label;
  return std::nullopt;
}

std::optional<LvmVolumeGroup> ReadNewestMetadata(std::span<const std::byte> area) {
  if (area.size() < kMdaHeaderBytes || !HasText(area, 4, kMdaMagic) || ReadU32(area, 20) != 1) return std::nullopt;
  if (LvmChecksum(area.subspan(4, kMdaHeaderBytes - 4)) != ReadU32(area, 0)) return std::nullopt;
  // The copy the header points at, when its checksum holds.
  const std::uint64_t offset = ReadU64(area, 40);
  const std::uint64_t size = ReadU64(area, 48);
  if (offset != 0 && size != 0) {
    const std::string text = CopyText(area, offset, size);
    const auto bytes = std::as_bytes(std::span(text.data(), text.size()));
    if (!text.empty() && LvmChecksum(bytes) == ReadU32(area, 56))
      if (auto group = ReadVolumeGroup(text)) return group;
  }
  // Otherwise the earlier copies, each written at a sector boundary after the one before
  // (the one pointed at has just failed its checksum).
  std::optional<LvmVolumeGroup> newest;
  std::size_t end = 0;
  for (std::size_t at = kMdaHeaderBytes; at < area.size(); at += kSectorBytes) {
    if (end < at) {
      end = at;
      while (end < area.size() && area[end] != std::byte{0}) ++end;
    }
    const std::string_view text(reinterpret_cast<const char*>(area.data() + at), end - at);
    if (at == offset || !LooksLikeGroupStart(text)) continue;
    auto group = ReadVolumeGroup(text);
    if (group) at = (end - 1) / kSectorBytes * kSectorBytes;  // the next copy starts after this one
    newest = Better(std::move(newest), std::move(group));
  }
  return newest;
}

std::optional<LvmVolumeGroup> ReadNewestMetadata(DiskSource& volume, const LvmPhysicalVolumeLabel& label) {
  std::optional<LvmVolumeGroup> newest;
  const auto size = volume.Size();
  for (const LvmArea& area : label.metadataAreas) {
    if (!size || area.sizeBytes < kMdaHeaderBytes || area.sizeBytes > kMaxMetadataAreaBytes ||
        area.offsetBytes > *size || *size - area.offsetBytes < area.sizeBytes)
      continue;
    std::vector<std::byte> bytes(static_cast<std::size_t>(area.sizeBytes));
    if (volume.Read(area.offsetBytes, bytes) != ReadOutcome::Ok) continue;
    newest = Better(std::move(newest), ReadNewestMetadata(bytes));
  }
  return newest;
}

}  // namespace vantrel
