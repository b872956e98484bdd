#include "carving/CompoundFileSize.h"

#include <algorithm>
#include <array>
#include <string>
#include <cstring>
#include <vector>

#include "carving/RawSignatures.h"

namespace vantrel {

namespace {

constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::size_t kHeaderBytes = 512;
constexpr std::size_t kHeaderTableEntries = 109;  // allocation table sectors named in the header
// The largest files of the two versions (512- and 4096-byte sectors) that are sized. Version 3
// files cannot grow past 2 GiB; a header that claims more than these is damaged, and
// listing and walking a table of its size would read most of a large disk for one header.
constexpr std::uint64_t kMaxVersion3Bytes = std::uint64_t{2} << 30;
constexpr std::uint64_t kMaxVersion4Bytes = std::uint64_t{16} << 30;

struct Header {
  std::uint64_t sectorSize = 0;
  std::uint32_t tableSectors = 0;
  std::uint32_t firstDirectorySector = 0;
  std::uint32_t firstExtensionSector = 0;  // where the list of table sectors goes on
  std::uint32_t extensionSectors = 0;
};

std::optional<Header> ReadHeader(ByteSpan bytes) {
  const std::string_view signature = SignatureTable()[0].header;
  if (std::memcmp(bytes.data(), signature.data(), signature.size()) != 0) return std::nullopt;
  if (ReadU16(bytes, 0x1C) != 0xFFFE) return std::nullopt;  // byte order mark
  const std::uint16_t shift = ReadU16(bytes, 0x1E);
  if (shift != 9 && shift != 12) return std::nullopt;
  return Header{std::uint64_t{1} << shift, ReadU32(bytes, 0x2C), ReadU32(bytes, 0x30), ReadU32(bytes, 0x44),
                ReadU32(bytes, 0x48)};
}

// The allocation table's sectors, as the header and its extension chain list them.
class CompoundFile {
 public:
  CompoundFile(const OffsetReader& read, std::uint64_t start, const Header& header, std::uint64_t sectorsAvailable)
      : read_(read), start_(start), header_(header), sectorsAvailable_(sectorsAvailable),
        perSector_(header.sectorSize / 4), sector_(static_cast<std::size_t>(header.sectorSize)) {}

  bool ReadSector(std::uint64_t n) { return n < sectorsAvailable_ && read_(start_ + (n + 1) * header_.sectorSize, sector_); }
  ByteSpan Sector() const { return sector_; }

  // The allocation table's sectors: 109 in the header, the rest in a chain of extension
  // sectors whose last entry names the next one.
  bool ListTable(ByteSpan headerBytes) {
    for (std::size_t i = 0; i < kHeaderTableEntries && table_.size() < header_.tableSectors; ++i)
      table_.push_back(ReadU32(headerBytes, 0x4C + 4 * i));
    std::uint32_t extension = header_.firstExtensionSector;
    for (std::uint32_t followed = 0; table_.size() < header_.tableSectors; ++followed) {
      if (followed >= header_.extensionSectors || !ReadSector(extension)) return false;
      for (std::uint64_t i = 0; i + 1 < perSector_ && table_.size() < header_.tableSectors; ++i)
        table_.push_back(ReadU32(sector_, 4 * i));
      extension = ReadU32(sector_, 4 * (perSector_ - 1));
    }
    return true;
  }

  // The file ends with the last sector the table marks as anything but free.
  std::optional<std::uint64_t> Size() {
    for (std::size_t i = table_.size(); i-- > 0;) {
      if (!ReadSector(table_[i])) return std::nullopt;
      for (std::uint64_t entry = perSector_; entry-- > 0;) {
        if (ReadU32(sector_, 4 * entry) == kFreeSector) continue;
        const std::uint64_t last = i * perSector_ + entry;
        if (last >= sectorsAvailable_ || header_.firstDirectorySector > last) return std::nullopt;
        // The table's own sectors belong to the file.
        for (const std::uint32_t tableSector : table_)
          if (tableSector > last) return std::nullopt;
        return (last + 2) * header_.sectorSize;
      }
    }
    return std::nullopt;
  }

  // The sector after `n` in its chain, from the allocation table.
  std::optional<std::uint32_t> Next(std::uint32_t n) {
    const std::uint64_t index = n / perSector_;
    if (index >= table_.size() || !ReadSector(table_[index])) return std::nullopt;
    return ReadU32(sector_, 4 * (n % perSector_));
  }

 private:
  const OffsetReader& read_;
  std::uint64_t start_;
  Header header_;
  std::uint64_t sectorsAvailable_;
  std::uint64_t perSector_;
  std::vector<std::byte> sector_;
  std::vector<std::uint32_t> table_;
};

constexpr std::size_t kDirectoryEntryBytes = 128;
constexpr std::uint32_t kMaxDirectorySectors = 4096;
constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;

// The directory's entries, read along its chain of sectors.
std::vector<std::byte> ReadDirectory(CompoundFile& file, std::uint32_t first) {
  std::vector<std::byte> entries;
  std::uint32_t sector = first;
  for (std::uint32_t read = 0; read < kMaxDirectorySectors && sector < 0xFFFFFFFA; ++read) {
    if (!file.ReadSector(sector)) break;
    entries.insert(entries.end(), file.Sector().begin(), file.Sector().end());
    const auto next = file.Next(sector);
    if (!next) break;
    sector = *next;
  }
  return entries;
}

std::u16string EntryName(ByteSpan entry) {
  const std::uint16_t bytes = std::min<std::uint16_t>(ReadU16(entry, 0x40), 64);
  std::u16string name;
  for (std::size_t i = 0; i + 1 < bytes; i += 2) {
    const char16_t c = ReadU16(entry, i);
    if (c == 0) break;
    name.push_back(c);
  }
  return name;
}

// The kind from the names of the root storage's own streams and storages (a tree of
// siblings under the root entry's child); embedded objects lie deeper and do not count.
RawFileKind KindFromDirectory(ByteSpan entries) {
  const std::size_t count = entries.size() / kDirectoryEntryBytes;
  const auto entry = [&](std::size_t id) { return entries.subspan(id * kDirectoryEntryBytes, kDirectoryEntryBytes); };
  if (count == 0 || ReadLittleEndian<std::uint8_t>(entry(0), 0x42) != 5) return RawFileKind::Ole;
  bool word = false;
  bool excel = false;
  bool powerPoint = false;
  std::vector<std::uint32_t> pending{ReadU32(entry(0), 0x4C)};
  for (std::size_t visited = 0; !pending.empty() && visited < count; ++visited) {
    const std::uint32_t id = pending.back();
    pending.pop_back();
    if (id == kNoEntry || id == 0 || id >= count) continue;
    const std::u16string name = EntryName(entry(id));
    word = word || name == u"WordDocument";
    excel = excel || name == u"Workbook" || name == u"Book";
    powerPoint = powerPoint || name == u"PowerPoint Document";
    pending.push_back(ReadU32(entry(id), 0x44));
    pending.push_back(ReadU32(entry(id), 0x48));
  }
  if (word) return RawFileKind::Word;
  if (excel) return RawFileKind::Excel;
  if (powerPoint) return RawFileKind::PowerPoint;
  return RawFileKind::Ole;
}

}  // namespace

std::optional<CompoundFileFound> MeasureCompoundFile(const OffsetReader& read, std::uint64_t start, std::uint64_t limit) {
  std::array<std::byte, kHeaderBytes> headerBytes{};
  if (!read(start, headerBytes)) return std::nullopt;
  const auto header = ReadHeader(headerBytes);
  if (!header) return std::nullopt;

  // Sector n of the file lies at (n + 1) * sectorSize: the header takes the place of one.
  const std::uint64_t sectorSize = header->sectorSize;
  const std::uint64_t perSector = sectorSize / 4;
  const std::uint64_t room = std::min(limit, sectorSize == 512 ? kMaxVersion3Bytes : kMaxVersion4Bytes);
  if (room < 2 * sectorSize) return std::nullopt;
  const std::uint64_t sectorsAvailable = room / sectorSize - 1;
  if (header->tableSectors == 0 || header->tableSectors > (sectorsAvailable + perSector - 1) / perSector)
    return std::nullopt;
  CompoundFile file(read, start, *header, sectorsAvailable);
  if (!file.ListTable(headerBytes)) return std::nullopt;
  const auto bytes = file.Size();
  if (!bytes) return std::nullopt;
  return CompoundFileFound{*bytes, KindFromDirectory(ReadDirectory(file, header->firstDirectorySector))};
}

}  // namespace vantrel
