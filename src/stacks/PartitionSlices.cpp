#include "stacks/PartitionSlices.h"

#include <set>

#include "disk/SectorReader.h"
#include "base/LittleEndian.h"

namespace vantrel {

namespace {

constexpr std::uint64_t kSector = kSectorSize;
constexpr int kMaxLogicalPartitions = 128;
constexpr std::uint32_t kMaxGptEntries = 1024;

bool IsExtended(std::uint8_t type) { return type == 0x05 || type == 0x0f || type == 0x85; }

struct MbrEntry {
  std::uint8_t type = 0;
  std::uint64_t start = 0;
  std::uint64_t sectors = 0;
};

std::optional<std::vector<std::byte>> ReadSector(DiskSource& disk, std::uint64_t sector) {
  std::vector<std::byte> bytes(kSector);
  if (disk.Read(sector * kSector, bytes) != ReadOutcome::Ok) return std::nullopt;
  return bytes;
}

bool HasBootSignature(std::span<const std::byte> sector) { return ReadU16(sector, 510) == 0xaa55; }

MbrEntry EntryAt(std::span<const std::byte> sector, int slot) {
  const std::size_t at = 446 + static_cast<std::size_t>(slot) * 16;
  return {std::to_integer<std::uint8_t>(sector[at + 4]), ReadU32(sector, at + 8), ReadU32(sector, at + 12)};
}

void AddClipped(std::vector<PartitionSpan>& spans, int number, std::uint64_t start, std::uint64_t sectors,
                std::uint64_t diskSectors) {
  if (sectors == 0 || start >= diskSectors) return;
  spans.push_back({number, start, std::min(sectors, diskSectors - start)});
}

void AddGptEntries(DiskSource& disk, std::uint64_t diskSectors, std::vector<PartitionSpan>& spans) {
  const auto header = ReadSector(disk, 1);
  if (!header || ReadU64(*header, 0) != 0x5452415020494645ull) return;  // "EFI PART"
  const std::uint64_t table = ReadU64(*header, 72);
  const std::uint32_t count = ReadU32(*header, 80);
  const std::uint32_t entryBytes = ReadU32(*header, 84);
  if (count > kMaxGptEntries || entryBytes < 128 || entryBytes > 4096 || entryBytes % 8 != 0) return;
  std::vector<std::byte> entries(std::size_t{count} * entryBytes);
  if (table >= diskSectors || disk.Read(table * kSector, entries) != ReadOutcome::Ok) return;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::span<const std::byte> entry = std::span(entries).subspan(std::size_t{i} * entryBytes, entryBytes);
    if (ReadU64(entry, 0) == 0 && ReadU64(entry, 8) == 0) continue;
    const std::uint64_t first = ReadU64(entry, 32);
    const std::uint64_t last = ReadU64(entry, 40);
    if (last < first) continue;
    AddClipped(spans, static_cast<int>(i) + 1, first, last - first + 1, diskSectors);
  }
}

void AddLogicalPartitions(DiskSource& disk, std::uint64_t extendedStart, std::uint64_t diskSectors,
                          std::vector<PartitionSpan>& spans) {
  std::set<std::uint64_t> seen;
  std::uint64_t ebr = extendedStart;
  for (int number = 5; number < 5 + kMaxLogicalPartitions; ++number) {
    if (ebr >= diskSectors || !seen.insert(ebr).second) return;
    const auto sector = ReadSector(disk, ebr);
    if (!sector || !HasBootSignature(*sector)) return;
    const MbrEntry logical = EntryAt(*sector, 0);
    if (logical.type != 0) AddClipped(spans, number, ebr + logical.start, logical.sectors, diskSectors);
    const MbrEntry next = EntryAt(*sector, 1);
    if (!IsExtended(next.type) || next.start == 0) return;
    ebr = extendedStart + next.start;
  }
}

}  // namespace

std::vector<PartitionSpan> ListPartitionSpans(DiskSource& disk) {
  std::vector<PartitionSpan> spans;
  const auto size = disk.Size();
  if (!size) return spans;
  const std::uint64_t diskSectors = *size / kSector;
  const auto mbr = ReadSector(disk, 0);
  if (!mbr || !HasBootSignature(*mbr)) return spans;
  for (int slot = 0; slot < 4; ++slot) {
    const MbrEntry entry = EntryAt(*mbr, slot);
    if (entry.type == 0xee) {
      spans.clear();
      AddGptEntries(disk, diskSectors, spans);
      return spans;
    }
    if (entry.type == 0 || entry.start == 0) continue;
    if (IsExtended(entry.type))
      AddLogicalPartitions(disk, entry.start, diskSectors, spans);
    else
      AddClipped(spans, slot + 1, entry.start, entry.sectors, diskSectors);
  }
  return spans;
}

}  // namespace vantrel
