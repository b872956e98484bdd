#include "disk/containers/VhdxLogSequence.h"

#include <algorithm>
#include <cstring>

#include "base/LittleEndian.h"

namespace vantrel {

bool VhdxSigned(std::span<const std::byte> bytes, std::size_t at, const char* signature) {
  return bytes.size() >= at + 4 && std::memcmp(bytes.data() + at, signature, 4) == 0;
}

namespace {

constexpr std::size_t kEntryHeaderBytes = kVhdxLogEntryHeaderBytes;
constexpr std::size_t kDescriptorBytes = kVhdxLogDescriptorBytes;

// The log as a ring of sectors: entries may run past its end and on from its start.
class LogRing {
 public:
  explicit LogRing(std::span<const std::byte> log) : log_(log), sectors_(log.size() / kVhdxLogSector) {}
  std::size_t Sectors() const { return sectors_; }
  // The k-th sector of the entry that starts at sector `first`.
  std::span<const std::byte> Sector(std::size_t first, std::size_t k) const {
    return log_.subspan(((first + k) % sectors_) * kVhdxLogSector, kVhdxLogSector);
  }
  // Descriptor d of that entry (none straddles sectors: they are 32 bytes after a 64-byte header).
  std::span<const std::byte> Descriptor(std::size_t first, std::size_t d) const {
    const std::size_t at = kEntryHeaderBytes + d * kDescriptorBytes;
    return Sector(first, at / kVhdxLogSector).subspan(at % kVhdxLogSector, kDescriptorBytes);
  }

 private:
  std::span<const std::byte> log_;
  std::size_t sectors_;
};

struct Entry {
  std::uint64_t sequence = 0;
  std::size_t sectors = 0;
  std::size_t tailSector = 0;
  std::uint32_t descriptors = 0;
  std::uint64_t flushedFileOffset = 0;
  std::uint64_t lastFileOffset = 0;
};

std::size_t DescriptorSectors(std::uint32_t descriptors) {
  return (kEntryHeaderBytes + std::size_t{descriptors} * kDescriptorBytes + kVhdxLogSector - 1) / kVhdxLogSector;
}

bool ChecksumHolds(const LogRing& ring, std::size_t first, std::size_t sectors) {
  const auto header = ring.Sector(first, 0);
  constexpr std::array<std::byte, 4> kZeros{};
  std::uint32_t crc = Crc32c(header.first(4));
  crc = Crc32c(kZeros, crc);
  crc = Crc32c(header.subspan(8), crc);
  for (std::size_t k = 1; k < sectors; ++k) crc = Crc32c(ring.Sector(first, k), crc);
  return crc == ReadU32(header, 4);
}

// The entry that starts at sector `first` when every field, descriptor, data sector and the
// checksum hold, and it carries the log's GUID.
std::optional<Entry> ValidEntry(const LogRing& ring, std::size_t first, const std::array<std::byte, 16>& guid) {
  const auto header = ring.Sector(first, 0);
  if (!VhdxSigned(header, 0, "loge")) return std::nullopt;
  const std::uint32_t length = ReadU32(header, 8);
  const std::uint32_t tail = ReadU32(header, 12);
  Entry entry{ReadU64(header, 16), length / kVhdxLogSector, tail / kVhdxLogSector,
              ReadU32(header, 24), ReadU64(header, 48),     ReadU64(header, 56)};
  if (length == 0 || length % kVhdxLogSector != 0 || entry.sectors > ring.Sectors() || tail % kVhdxLogSector != 0 ||
      entry.tailSector >= ring.Sectors() || entry.sequence == 0 ||
      !std::equal(guid.begin(), guid.end(), header.begin() + 32))
    return std::nullopt;
  // Bounded by the entry's length before any descriptor is looked at.
  if (std::uint64_t{entry.descriptors} > (std::uint64_t{length} - kEntryHeaderBytes) / kDescriptorBytes)
    return std::nullopt;
  std::size_t dataSectors = 0;
  for (std::uint32_t d = 0; d < entry.descriptors; ++d) {
    const auto descriptor = ring.Descriptor(first, d);
    if (ReadU64(descriptor, 24) != entry.sequence || ReadU64(descriptor, 16) % kVhdxLogSector != 0) return std::nullopt;
    if (VhdxSigned(descriptor, 0, "zero")) {
      if (ReadU64(descriptor, 8) % kVhdxLogSector != 0) return std::nullopt;
    } else if (VhdxSigned(descriptor, 0, "desc")) {
      const std::size_t k = DescriptorSectors(entry.descriptors) + dataSectors++;
      if (k >= entry.sectors) return std::nullopt;
      const auto data = ring.Sector(first, k);
      if (!VhdxSigned(data, 0, "data") || ReadU32(data, 4) != static_cast<std::uint32_t>(entry.sequence >> 32) ||
          ReadU32(data, kVhdxLogSector - 4) != static_cast<std::uint32_t>(entry.sequence))
        return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
  if (DescriptorSectors(entry.descriptors) > entry.sectors || !ChecksumHolds(ring, first, entry.sectors))
    return std::nullopt;
  return entry;
}

void AppendWrites(const LogRing& ring, std::size_t first, const Entry& entry, std::vector<VhdxLogWrite>& writes) {
  std::size_t dataSectors = 0;
  for (std::uint32_t d = 0; d < entry.descriptors; ++d) {
    const auto descriptor = ring.Descriptor(first, d);
    if (VhdxSigned(descriptor, 0, "zero")) {
      writes.push_back({ReadU64(descriptor, 16), ReadU64(descriptor, 8), {}});
      continue;
    }
    // The sector as written: its first 8 and last 4 bytes kept in the descriptor.
    const auto data = ring.Sector(first, DescriptorSectors(entry.descriptors) + dataSectors++);
    VhdxLogWrite write{ReadU64(descriptor, 16), kVhdxLogSector, {data.begin(), data.end()}};
    std::copy_n(descriptor.begin() + 8, 8, write.data.begin());
    std::copy_n(descriptor.begin() + 4, 4, write.data.end() - 4);
    writes.push_back(std::move(write));
  }
}

}  // namespace

std::optional<VhdxLogReplay> ActiveSequence(std::span<const std::byte> log, const std::array<std::byte, 16>& guid) {
  const LogRing ring(log);
  if (ring.Sectors() == 0) return std::nullopt;
  // Each sector's entry is decoded at most once, however often a walk passes it.
  std::vector<std::optional<std::optional<Entry>>> decoded(ring.Sectors());
  const auto entryAt = [&](std::size_t sector) -> const std::optional<Entry>& {
    if (!decoded[sector]) decoded[sector] = ValidEntry(ring, sector, guid);
    return *decoded[sector];
  };
  std::vector<std::size_t> active;  // the first sectors of the active sequence's entries
  std::uint64_t activeSequence = 0;
  std::size_t tail = 0;
  for (;;) {
    // The run of entries from `tail` whose sequence numbers climb by one, never round the ring twice.
    std::vector<std::size_t> run;
    std::uint64_t sequence = 0;
    std::size_t head = tail;
    for (std::size_t used = 0;;) {
      const auto& entry = entryAt(head);
      if (!entry || (!run.empty() && entry->sequence != sequence + 1) || used + entry->sectors > ring.Sectors()) break;
      run.push_back(head);
      sequence = entry->sequence;
      used += entry->sectors;
      head = (head + entry->sectors) % ring.Sectors();
    }
    // Valid when the newest entry's tail is one of the run's entries: the sequence starts there.
    const auto start = run.empty() ? run.end() : std::find(run.begin(), run.end(), entryAt(run.back())->tailSector);
    const bool valid = start != run.end();
    if (valid && sequence > activeSequence) {
      active.assign(start, run.end());
      activeSequence = sequence;
    }
    // On from the run's head, or from the next sector; once round the ring, the log is scanned.
    const std::size_t next = valid ? head : (tail + 1) % ring.Sectors();
    if (next <= tail) break;
    tail = next;
  }
  if (active.empty()) return std::nullopt;
  VhdxLogReplay replay;
  for (const std::size_t sector : active) AppendWrites(ring, sector, *entryAt(sector), replay.writes);
  replay.flushedFileOffset = entryAt(active.back())->flushedFileOffset;
  replay.lastFileOffset = entryAt(active.back())->lastFileOffset;
  return replay;
}

std::uint32_t Crc32c(std::span<const std::byte> bytes, std::uint32_t crc) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> entries{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t value = i;
      for (int bit = 0; bit < 8; ++bit) value = (value & 1) != 0 ? (value >> 1) ^ 0x82f63b78u : value >> 1;
      entries[i] = value;
    }
    return entries;
  }();
  crc = ~crc;
  for (const std::byte b : bytes) crc = table[(crc ^ std::to_integer<std::uint32_t>(b)) & 0xff] ^ (crc >> 8);
  return ~crc;
}

}  // namespace vantrel
