#include "raw/ZipArchiveSize.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace vantrel {

namespace {

constexpr std::string_view kEndRecordSignature = "PK\x05\x06";
constexpr std::string_view kCentralEntrySignature = "PK\x01\x02";
constexpr std::size_t kEndRecordBytes = 22;
constexpr std::size_t kSearchChunk = std::size_t{1} << 20;

// The archive's size if the end record at `relative` bytes from the archive's start
// closes an archive that begins there.
std::optional<std::uint64_t> SizeFromEndRecord(const ByteReader& read, std::uint64_t start, std::uint64_t relative,
                                               ByteSpan record, std::uint64_t limit) {
  const std::uint16_t disk = ReadU16(record, 4);
  const std::uint16_t directoryDisk = ReadU16(record, 6);
  const std::uint16_t entriesHere = ReadU16(record, 8);
  const std::uint16_t entries = ReadU16(record, 10);
  const std::uint32_t directorySize = ReadU32(record, 12);
  const std::uint32_t directoryOffset = ReadU32(record, 16);
  const std::uint16_t commentLength = ReadU16(record, 20);
  if (disk != 0 || directoryDisk != 0 || entriesHere != entries) return std::nullopt;
  if (std::uint64_t{directoryOffset} + directorySize != relative) return std::nullopt;
  if (entries > 0) {
    std::array<std::byte, 4> signature{};
    if (!read(start + directoryOffset, signature)) return std::nullopt;
    if (std::string_view(reinterpret_cast<const char*>(signature.data()), signature.size()) != kCentralEntrySignature)
      return std::nullopt;
  }
  const std::uint64_t size = relative + kEndRecordBytes + commentLength;
  if (size > limit) return std::nullopt;
  return size;
}

}  // namespace

std::optional<std::uint64_t> ZipArchiveSize(const ByteReader& read, std::uint64_t start, std::uint64_t searchEnd,
                                            std::uint64_t limit) {
  searchEnd = std::min(searchEnd, start + limit);  // nothing is read past the disk's end
  std::vector<std::byte> chunk(kSearchChunk + kEndRecordBytes - 1);
  for (std::uint64_t position = start; position < searchEnd; position += kSearchChunk) {
    // Records that begin in this stretch are read whole, even where they cross its end.
    const std::size_t begins = static_cast<std::size_t>(std::min<std::uint64_t>(kSearchChunk, searchEnd - position));
    const auto readable = static_cast<std::size_t>(
        std::min<std::uint64_t>(begins + kEndRecordBytes - 1, start + limit - position));
    const auto bytes = std::span(chunk).first(readable);
    if (!read(position, bytes)) return std::nullopt;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    for (std::size_t at = text.find(kEndRecordSignature); at != std::string_view::npos && at < begins;
         at = text.find(kEndRecordSignature, at + 1)) {
      const auto size = SizeFromEndRecord(read, start, position + at - start,
                                          ByteSpan(bytes).subspan(at, std::min(kEndRecordBytes, bytes.size() - at)),
                                          limit);
      if (size) return size;
    }
  }
  return std::nullopt;
}

}  // namespace vantrel
