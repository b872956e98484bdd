#include "raw/CompoundFileSize.h"

#include <array>
#include <cstring>
#include <vector>

#include "raw/RawSignatures.h"

namespace vantrel {

namespace {

constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::size_t kHeaderBytes = 512;
constexpr std::size_t kHeaderTableEntries = 109;  // allocation table sectors named in the header

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

}  // namespace

std::optional<std::uint64_t> CompoundFileSize(const ByteReader& read, std::uint64_t start, std::uint64_t limit) {
  std::array<std::byte, kHeaderBytes> headerBytes{};
  if (!read(start, headerBytes)) return std::nullopt;
  const auto header = ReadHeader(headerBytes);
  if (!header) return std::nullopt;

  // Sector n of the file lies at (n + 1) * sectorSize: the header takes the place of one.
  const std::uint64_t sectorSize = header->sectorSize;
  const std::uint64_t perSector = sectorSize / 4;
  if (limit < 2 * sectorSize) return std::nullopt;
  const std::uint64_t sectorsAvailable = limit / sectorSize - 1;
  if (header->tableSectors == 0 || header->tableSectors > (sectorsAvailable + perSector - 1) / perSector)
    return std::nullopt;
  std::vector<std::byte> sector(static_cast<std::size_t>(sectorSize));
  const auto readSector = [&](std::uint64_t n) {
    return n < sectorsAvailable && read(start + (n + 1) * sectorSize, sector);
  };

  // The allocation table's sectors: 109 in the header, the rest in a chain of extension
  // sectors whose last entry names the next one.
  std::vector<std::uint32_t> table;
  for (std::size_t i = 0; i < kHeaderTableEntries && table.size() < header->tableSectors; ++i)
    table.push_back(ReadU32(headerBytes, 0x4C + 4 * i));
  std::uint32_t extension = header->firstExtensionSector;
  for (std::uint32_t followed = 0; table.size() < header->tableSectors; ++followed) {
    if (followed >= header->extensionSectors || !readSector(extension)) return std::nullopt;
    for (std::uint64_t i = 0; i + 1 < perSector && table.size() < header->tableSectors; ++i)
      table.push_back(ReadU32(sector, 4 * i));
    extension = ReadU32(sector, 4 * (perSector - 1));
  }

  // The file ends with the last sector the table marks as anything but free.
  for (std::size_t i = table.size(); i-- > 0;) {
    if (!readSector(table[i])) return std::nullopt;
    for (std::uint64_t entry = perSector; entry-- > 0;) {
      if (ReadU32(sector, 4 * entry) == kFreeSector) continue;
      const std::uint64_t last = i * perSector + entry;
      if (last >= sectorsAvailable || header->firstDirectorySector > last) return std::nullopt;
      // The table's own sectors belong to the file.
      for (const std::uint32_t tableSector : table)
        if (tableSector > last) return std::nullopt;
      return (last + 2) * sectorSize;
    }
  }
  return std::nullopt;
}

}  // namespace vantrel
