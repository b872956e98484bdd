#include <set>

#include "base/LittleEndian.h"
#include "reiserfs/search/PartitionSearch.h"
#include "reiserfs/format/ReiserSuperblock.h"

namespace vantrel {

namespace {

constexpr std::uint8_t kLinuxType = 0x83;
constexpr std::size_t kEntryOffsets[] = {446, 462, 478, 494};

struct TableEntry {
  std::uint8_t type;
  std::uint32_t firstSector;
  std::uint32_t length;
};

TableEntry DecodeEntry(ByteSpan sector, std::size_t offset) {
  return {std::to_integer<std::uint8_t>(sector[offset + 4]), ReadU32(sector, offset + 8),
          ReadU32(sector, offset + 12)};
}

bool IsExtended(std::uint8_t type) { return type == 0x05 || type == 0x0F; }

// Reads one boot record into a cleared buffer, so that an unreadable one holds no entries.
std::array<std::byte, kSectorSize> ReadBootRecord(const DiskReader& disk, std::uint64_t sector) {
  std::array<std::byte, kSectorSize> buffer{};
  disk.ReadSectors(sector, 1, buffer);
  return buffer;
}

}  // namespace

PartitionSearchResult SearchPartitionTables(const DiskReader& disk, PartitionSearchProgress& progress) {
  PartitionSearchResult result;
  bool& tableFull = result.tableFull;
  auto consider = [&](std::uint64_t start, std::uint32_t length) {
    if (tableFull || !IsReiserSuperblock(disk, start)) return;
    if (result.partitions.size() >= kMaxPartitions) {
      tableFull = true;
      return;
    }
    result.partitions.push_back({length, start});
    progress.OnFound(result.partitions.back(), result.partitions.size());
  };

  const auto master = ReadBootRecord(disk, 0);
  std::optional<std::uint32_t> extendedBase;
  for (const std::size_t offset : kEntryOffsets) {
    const TableEntry entry = DecodeEntry(master, offset);
    if (entry.type == kLinuxType) consider(entry.firstSector, entry.length);
    else if (IsExtended(entry.type)) extendedBase = entry.firstSector;
  }

  if (extendedBase) {
    // Sectors already read as boot records: a chain that links back to one of them ends.
    std::set<std::uint64_t> visited{0};
    std::uint32_t link = 0;
    for (;;) {
      const std::uint64_t recordSector = std::uint64_t{*extendedBase} + link;
      if (!visited.insert(recordSector).second) break;
      const auto record = ReadBootRecord(disk, recordSector);
      bool chainGoesOn = false;
      for (const std::size_t offset : kEntryOffsets) {
        const TableEntry entry = DecodeEntry(record, offset);
        if (entry.type == kLinuxType) {
          consider(recordSector + entry.firstSector, entry.length);
        } else if (IsExtended(entry.type)) {
          link = entry.firstSector;
          chainGoesOn = true;
        }
      }
      if (!chainGoesOn || tableFull) break;
    }
  }

  return result;
}

PartitionSearchResult SearchAssembledVolume(const DiskReader& disk, PartitionSearchProgress& progress) {
  PartitionSearchResult result;
  const auto superblock = ReadSuperblock(disk, 0);
  if (superblock && superblock->IsPlausible() && HasPlausibleRootNode(disk, 0, *superblock)) {
    result.partitions.push_back({std::uint64_t{superblock->blockCount} * superblock->SectorsPerBlock(), 0});
    progress.OnFound(result.partitions.back(), 1);
  }
  PartitionSearchProgress quiet;
  const PartitionSearchResult tables = SearchPartitionTables(disk, quiet);
  result.tableFull = tables.tableFull;
  for (const PartitionRecord& record : tables.partitions) {
    if (record.start == 0) continue;
    if (result.partitions.size() >= kMaxPartitions) {
      result.tableFull = true;
      break;
    }
    result.partitions.push_back(record);
    progress.OnFound(record, result.partitions.size());
  }
  return result;
}

}  // namespace vantrel
