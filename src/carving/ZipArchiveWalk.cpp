#include "carving/ZipArchiveWalk.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "carving/ForwardScan.h"
#include "carving/ZipContentKind.h"

namespace vantrel {

namespace {

constexpr std::uint32_t kLocalHeader = 0x04034B50;
constexpr std::uint32_t kCentralHeader = 0x02014B50;
constexpr std::uint32_t kDescriptor = 0x08074B50;
constexpr std::uint32_t kSignatureRecord = 0x05054B50;
constexpr std::uint32_t kZip64EndRecord = 0x06064B50;
constexpr std::uint32_t kZip64Locator = 0x07064B50;
constexpr std::uint32_t kEndRecord = 0x06054B50;
constexpr std::size_t kLocalHeaderBytes = 30;
constexpr std::size_t kCentralHeaderBytes = 46;
constexpr std::size_t kEndRecordBytes = 22;
constexpr std::size_t kZip64LocatorBytes = 20;
constexpr std::uint32_t kUnknown32 = 0xFFFFFFFF;
constexpr std::uint16_t kHasDescriptor = 0x0008;
constexpr std::uint16_t kStored = 0;
constexpr std::size_t kMimeTypeMax = 128;  // longer stored first entries are not a type
constexpr std::uint64_t kMaxEntries = 1'000'000;

// Reads within the archive's room: `relative` bytes from its start.
class ArchiveBytes {
 public:
  ArchiveBytes(const OffsetReader& read, std::uint64_t start, std::uint64_t limit)
      : read_(read), start_(start), limit_(limit) {}
  std::uint64_t Limit() const { return limit_; }
  std::uint64_t Start() const { return start_; }
  const OffsetReader& Reader() const { return read_; }
  bool Read(std::uint64_t relative, MutableByteSpan bytes) const {
    return relative <= limit_ && limit_ - relative >= bytes.size() && read_(start_ + relative, bytes);
  }
  std::optional<std::uint32_t> Signature(std::uint64_t relative) const {
    std::array<std::byte, 4> bytes{};
    if (!Read(relative, bytes)) return std::nullopt;
    return ReadU32(bytes, 0);
  }

 private:
  const OffsetReader& read_;
  std::uint64_t start_;
  std::uint64_t limit_;
};

// The sizes a ZIP64 extra field gives for the fields the header left at 0xFFFFFFFF.
void ApplyZip64Extra(ByteSpan extra, std::uint64_t& plainSize, std::uint64_t& packedSize) {
  for (std::size_t at = 0; at + 4 <= extra.size();) {
    const std::uint16_t id = ReadU16(extra, at);
    const std::uint16_t length = ReadU16(extra, at + 2);
    if (id == 0x0001) {
      const ByteSpan field = extra.subspan(at + 4, std::min<std::size_t>(length, extra.size() - at - 4));
      // The plain size comes first, and each is there only when its header field is full.
      std::size_t offset = 0;
      if (plainSize == kUnknown32) {
        if (field.size() < 8) return;
        plainSize = ReadU64(field, 0);
        offset = 8;
      }
      if (packedSize == kUnknown32 && field.size() >= offset + 8) packedSize = ReadU64(field, offset);
      return;
    }
    at += 4 + std::size_t{length};
  }
}

// Where a data descriptor that follows data beginning at `dataStart` ends: the first
// record signature after the data is either the descriptor's own (whose packed size must
// be the data's length) or the next header, which an unsigned descriptor must precede.
std::optional<std::uint64_t> FindDescriptorEnd(const ArchiveBytes& archive, std::uint64_t dataStart,
                                               std::uint64_t searchCap) {
  std::optional<std::uint64_t> end;
  // A signed descriptor is at most 24 bytes; an unsigned one is read before the header.
  const auto visit = [&](std::uint64_t position, ByteSpan bytes, std::size_t begins) {
    const auto* data = reinterpret_cast<const char*>(bytes.data());
    for (std::size_t at = 0; at < begins; ++at) {
      const void* found = ::memmem(data + at, bytes.size() - at, "PK", 2);
      if (found == nullptr) return true;
      at = static_cast<std::size_t>(static_cast<const char*>(found) - data);
      if (at >= begins) return true;
      const std::uint64_t here = position - archive.Start() + at;  // from the archive's start
      const std::uint32_t signature = ReadU32(bytes, at);
      if (signature == kDescriptor) {
        std::array<std::byte, 24> descriptor{};
        if (archive.Read(here, std::span(descriptor).first(16)) && ReadU32(descriptor, 8) == here - dataStart) {
          end = here + 16;
          return false;
        }
        if (archive.Read(here, descriptor) && ReadU64(descriptor, 8) == here - dataStart) {
          end = here + 24;
          return false;
        }
      } else if (signature == kLocalHeader || signature == kCentralHeader) {
        // No signed descriptor came first: only an unsigned one can end the data here.
        std::array<std::byte, 20> before{};
        if ((here >= dataStart + 12 && archive.Read(here - 12, std::span(before).first(12)) &&
             ReadU32(before, 4) == here - 12 - dataStart) ||
            (here >= dataStart + 20 && archive.Read(here - 20, before) && ReadU64(before, 4) == here - 20 - dataStart))
          end = here;
        return false;
      }
    }
    return true;
  };
  const std::uint64_t searchEnd = dataStart +
                                  std::min(searchCap, archive.Limit() - std::min(archive.Limit(), dataStart));
  if (!ScanForward(archive.Reader(), archive.Start() + dataStart, archive.Start() + searchEnd, 3, visit))
    return std::nullopt;
  return end;
}

// One local entry at `at`; where the record after it begins.
std::optional<std::uint64_t> WalkLocalEntry(const ArchiveBytes& archive, std::uint64_t at, std::uint64_t searchCap,
                                            ZipContentKind& content) {
  std::array<std::byte, kLocalHeaderBytes> header{};
  if (!archive.Read(at, header)) return std::nullopt;
  const std::uint16_t flags = ReadU16(header, 6);
  const std::uint16_t method = ReadU16(header, 8);
  std::uint64_t packedSize = ReadU32(header, 18);
  std::uint64_t plainSize = ReadU32(header, 22);
  const std::uint16_t nameLength = ReadU16(header, 26);
  const std::uint16_t extraLength = ReadU16(header, 28);
  std::vector<std::byte> nameAndExtra(std::size_t{nameLength} + extraLength);
  if (!archive.Read(at + kLocalHeaderBytes, nameAndExtra)) return std::nullopt;
  ApplyZip64Extra(ByteSpan(nameAndExtra).subspan(nameLength), plainSize, packedSize);
  const std::string_view name(reinterpret_cast<const char*>(nameAndExtra.data()), nameLength);
  const std::uint64_t dataStart = at + kLocalHeaderBytes + nameAndExtra.size();

  std::string stored;
  if (method == kStored && packedSize <= kMimeTypeMax && (flags & kHasDescriptor) == 0) {
    stored.resize(static_cast<std::size_t>(packedSize));
    if (!archive.Read(dataStart, std::as_writable_bytes(std::span(stored)))) return std::nullopt;
  }
  content.AddEntry(name, stored);

  if ((flags & kHasDescriptor) == 0) {
    if (packedSize > archive.Limit() - std::min(archive.Limit(), dataStart)) return std::nullopt;
    return dataStart + packedSize;
  }
  return FindDescriptorEnd(archive, dataStart, searchCap);
}

// The central directory from `at`: its entries, then an optional signature record and
// ZIP64 end records, then the end record, which must describe this directory.
std::optional<std::uint64_t> WalkCentralDirectory(const ArchiveBytes& archive, std::uint64_t directoryStart) {
  std::uint64_t at = directoryStart;
  std::uint64_t entries = 0;
  std::array<std::byte, kCentralHeaderBytes> header{};
  for (; archive.Signature(at) == kCentralHeader; ++entries) {
    if (entries > kMaxEntries || !archive.Read(at, header)) return std::nullopt;
    at += kCentralHeaderBytes + std::uint64_t{ReadU16(header, 28)} + ReadU16(header, 30) + ReadU16(header, 32);
  }
  const std::uint64_t directoryBytes = at - directoryStart;
  if (archive.Signature(at) == kSignatureRecord) {
    std::array<std::byte, 6> record{};
    if (!archive.Read(at, record)) return std::nullopt;
    at += record.size() + ReadU16(record, 4);
  }
  bool zip64 = false;
  if (archive.Signature(at) == kZip64EndRecord) {
    std::array<std::byte, 56> record{};
    if (!archive.Read(at, record)) return std::nullopt;
    if (ReadU64(record, 32) != entries || ReadU64(record, 40) != directoryBytes ||
        ReadU64(record, 48) != directoryStart)
      return std::nullopt;
    const std::uint64_t recordBytes = ReadU64(record, 4);
    if (recordBytes < 44 || recordBytes > archive.Limit()) return std::nullopt;
    at += 12 + recordBytes;
    if (archive.Signature(at) != kZip64Locator) return std::nullopt;
    at += kZip64LocatorBytes;
    zip64 = true;
  }
  std::array<std::byte, kEndRecordBytes> end{};
  if (!archive.Read(at, end) || ReadU32(end, 0) != kEndRecord) return std::nullopt;
  const auto agrees = [zip64](std::uint64_t field, std::uint64_t walked, std::uint64_t unknown) {
    return field == walked || (zip64 && field == unknown);
  };
  if (ReadU16(end, 4) != 0 || ReadU16(end, 6) != 0 || ReadU16(end, 8) != ReadU16(end, 10) ||
      !agrees(ReadU16(end, 10), entries & 0xFFFF, 0xFFFF) || (!zip64 && entries > 0xFFFF) ||
      !agrees(ReadU32(end, 12), directoryBytes, kUnknown32) || !agrees(ReadU32(end, 16), directoryStart, kUnknown32))
    return std::nullopt;
  const std::uint64_t bytes = at + kEndRecordBytes + ReadU16(end, 20);
  if (bytes > archive.Limit()) return std::nullopt;
  return bytes;
}

}  // namespace

std::optional<ZipArchiveFound> WalkZipArchive(const OffsetReader& read, std::uint64_t start, std::uint64_t limit,
                                              std::uint64_t searchCap) {
  const ArchiveBytes archive(read, start, limit);
  if (archive.Signature(0) != kLocalHeader) return std::nullopt;
  ZipContentKind content;
  std::uint64_t at = 0;
  for (std::uint64_t entries = 0;; ++entries) {
    const auto signature = archive.Signature(at);
    if (!signature || entries > kMaxEntries) return std::nullopt;
    if (*signature == kCentralHeader || (*signature == kEndRecord && entries > 0)) break;
    if (*signature != kLocalHeader) return std::nullopt;
    const auto next = WalkLocalEntry(archive, at, searchCap, content);
    if (!next || *next <= at) return std::nullopt;
    at = *next;
  }
  const auto bytes = WalkCentralDirectory(archive, at);
  if (!bytes) return std::nullopt;
  return ZipArchiveFound{*bytes, content.Kind()};
}

}  // namespace vantrel
