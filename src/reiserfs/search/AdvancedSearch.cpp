#include <algorithm>
#include <vector>

#include "base/AlignedBuffer.h"
#include "reiserfs/search/PartitionSearch.h"
#include "reiserfs/format/ReiserSuperblock.h"
#include "reiserfs/search/SuperblockEvidence.h"

namespace vantrel {

namespace {

constexpr std::uint32_t kRequestSectors = 8;  // one examined request
constexpr std::uint32_t kRequestBytes = kRequestSectors * kSectorSize;
constexpr std::uint32_t kReportEvery = 88;    // requests between status updates
// The disk is read in large stretches; a stretch whose read fails is read again in the
// 8-sector requests, through the bad-sector policy, exactly as a scan in small requests
// would have read it.
constexpr std::uint32_t kStretchRequests = 256;  // 1 MiB

class SectorScan {
 public:
  SectorScan(const DiskReader& disk, std::uint64_t totalSectors, const StopToken& stop,
             PartitionSearchProgress& progress)
      : disk_(disk), totalSectors_(totalSectors), stop_(stop), progress_(progress) {}

  PartitionSearchResult Run() {
    AlignedBuffer stretch(std::size_t{kStretchRequests} * kRequestBytes);
    for (std::uint64_t first = 0; first < totalSectors_ && !Stopped() && !tableFull_;
         first += std::uint64_t{kStretchRequests} * kRequestSectors) {
      // The last request may reach up to 7 sectors past the end of the disk.
      const std::uint64_t requests =
          std::min<std::uint64_t>(kStretchRequests, (totalSectors_ - first + kRequestSectors - 1) / kRequestSectors);
      const auto bytes = stretch.Bytes().first(static_cast<std::size_t>(requests * kRequestBytes));
      const bool whole = disk_.ReadQuietly(first, bytes) == ReadOutcome::Ok;
      for (std::uint64_t r = 0; r < requests && !Stopped() && !tableFull_; ++r) {
        const std::uint64_t position = first + r * kRequestSectors;
        const auto request = bytes.subspan(static_cast<std::size_t>(r * kRequestBytes), kRequestBytes);
        if (!whole) {
          // Cleared first, so that a failed read is never examined with stale bytes.
          std::fill(request.begin(), request.end(), std::byte{0});
          disk_.ReadSectors(position, kRequestSectors, request);
        }
        CountRequest(position);
        for (std::uint32_t k = 0; k < kRequestSectors && !tableFull_; ++k)
          Examine(position + k, request.subspan(k * kSectorSize, kSectorSize));
      }
    }
    result_.tableFull = tableFull_;
    return std::move(result_);
  }

 private:
  bool Stopped() const { return stop_.Requested(); }

  void CountRequest(std::uint64_t position) {
    if (++requestsSinceReport_ < kReportEvery) return;
    requestsSinceReport_ = 0;
    progress_.OnScanned(position, totalSectors_);
  }

  void Examine(std::uint64_t sector, ByteSpan bytes) {
    const auto first = std::to_integer<char>(bytes[52]);
    if (first != 'R' && first != 'r') return;  // cheap rejection of almost every sector
    if (!HasReiserMagic(bytes)) return;
    const auto superblock = ReiserSuperblock::Decode(bytes);
    if (!superblock || !superblock->IsPlausible()) return;
    // A superblock below sector 128 would put the partition's start before sector 0.
    if (sector < kSuperblockSectorOffset) return;
    if (InJournalOfAFoundVolume(sector) || IsLoggedSuperblockCopy(disk_, sector, *superblock)) return;
    const std::uint64_t start = sector - kSuperblockSectorOffset;
    if (!VolumeIsThere(disk_, start, *superblock)) return;
    const std::uint64_t size = std::uint64_t{superblock->blockCount} * superblock->SectorsPerBlock();
    if (result_.partitions.size() >= kMaxPartitions) {
      tableFull_ = true;
      return;
    }
    result_.partitions.push_back({size, start});
    journals_.push_back(JournalSectors(start, *superblock));
    progress_.OnFound(result_.partitions.back(), result_.partitions.size());
  }

  // The journal logs whole blocks, the superblock among them: a copy found there describes
  // the volume already found, shifted, and its shifted root can land on any leaf.
  struct SectorRange {
    std::uint64_t first = 0;
    std::uint64_t end = 0;
  };
  static SectorRange JournalSectors(std::uint64_t start, const ReiserSuperblock& superblock) {
    constexpr std::size_t kFirstBlock = 0, kDevice = 1, kSize = 2;
    if (superblock.journal[kDevice] != 0) return {};  // a journal on another device
    const std::uint64_t perBlock = superblock.SectorsPerBlock();
    const std::uint64_t first = start + std::uint64_t{superblock.journal[kFirstBlock]} * perBlock;
    // The journal's blocks and the journal header after them.
    return {first, first + (std::uint64_t{superblock.journal[kSize]} + 1) * perBlock};
  }
  bool InJournalOfAFoundVolume(std::uint64_t sector) const {
    return std::any_of(journals_.begin(), journals_.end(),
                       [sector](const SectorRange& r) { return sector >= r.first && sector < r.end; });
  }

  const DiskReader& disk_;
  const std::uint64_t totalSectors_;
  const StopToken& stop_;
  PartitionSearchProgress& progress_;
  PartitionSearchResult result_;
  std::vector<SectorRange> journals_;
  std::uint32_t requestsSinceReport_ = 0;
  bool tableFull_ = false;
};

}  // namespace

PartitionSearchResult ScanSectorsForPartitions(const DiskReader& disk, std::uint64_t totalSectors,
                                               const StopToken& stop, PartitionSearchProgress& progress) {
  return SectorScan(disk, totalSectors, stop, progress).Run();
}

}  // namespace vantrel
