#include <algorithm>
#include <vector>

#include "app/ControlIds.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "app/WizardViews.h"
#include "base/AlignedBuffer.h"
#include "reiserfs/PartitionSearch.h"
#include "reiserfs/ReiserSuperblock.h"

namespace vantrel {

namespace {

constexpr std::uint32_t kRequestSectors = 8;  // one examined request
constexpr std::uint32_t kRequestBytes = kRequestSectors * kSectorSize;
constexpr std::uint32_t kReportEvery = 88;    // requests between status updates
// The disk is read in large stretches; a stretch whose read fails is read again in the
// 8-sector requests, through the bad-sector policy, exactly as a scan in small requests
// would have read it.
constexpr std::uint32_t kStretchRequests = 256;  // 1 MiB

std::string FoundText(std::uint32_t count) { return "Partitions Found : " + std::to_string(count); }

class SectorScan {
 public:
  explicit SectorScan(WizardState& state)
      : state_(state),
        window_(state.Window()),
        totalSectors_(state.diskInfo.ReadNumber(diskinfo::kSizeKey,
                                                DiskNameTable::DiskName(state.CurrentDiskIndex)) /
                      kSectorSize) {}

  void Run() {
    AlignedBuffer stretch(std::size_t{kStretchRequests} * kRequestBytes);
    for (std::uint64_t first = 0; first < totalSectors_ && !Stopped() && !tableFull_;
         first += std::uint64_t{kStretchRequests} * kRequestSectors) {
      // The last request may reach up to 7 sectors past the end of the disk.
      const std::uint64_t requests =
          std::min<std::uint64_t>(kStretchRequests, (totalSectors_ - first + kRequestSectors - 1) / kRequestSectors);
      const auto bytes = stretch.Bytes().first(static_cast<std::size_t>(requests * kRequestBytes));
      const bool whole = state_.reader.ReadQuietly(state_.CurrentDiskIndex, first, bytes) == ReadOutcome::Ok;
      for (std::uint64_t r = 0; r < requests && !Stopped() && !tableFull_; ++r) {
        const std::uint64_t position = first + r * kRequestSectors;
        const auto request = bytes.subspan(static_cast<std::size_t>(r * kRequestBytes), kRequestBytes);
        if (!whole) {
          // Cleared first, so that a failed read is never examined with stale bytes.
          std::fill(request.begin(), request.end(), std::byte{0});
          state_.reader.ReadSectors({state_.CurrentDiskIndex, position, kRequestSectors, request});
        }
        CountRequest(position);
        for (std::uint32_t k = 0; k < kRequestSectors && !tableFull_; ++k)
          Examine(position + k, request.subspan(k * kSectorSize, kSectorSize));
      }
    }
    if (tableFull_) window_.ShowMessage(kPartitionTableFullMessage);
  }

 private:
  bool Stopped() const { return state_.StopRequested.load() != 0; }

  void CountRequest(std::uint64_t position) {
    if (++requestsSinceReport_ < kReportEvery) return;
    requestsSinceReport_ = 0;
    window_.SetControlText(control::kStatusText, "Searching Partitions " + std::to_string(position) +
                                                     " / " + std::to_string(totalSectors_));
    window_.SetProgress(control::kSearchProgress,
                        static_cast<int>(std::min<std::uint64_t>(position * 100 / totalSectors_, 100)));
  }

  void Examine(std::uint64_t sector, ByteSpan bytes) {
    const auto first = std::to_integer<char>(bytes[52]);
    if (first != 'R' && first != 'r') return;  // cheap rejection of almost every sector
    if (!HasReiserMagic(bytes)) return;
    const auto superblock = ReiserSuperblock::Decode(bytes);
    if (!superblock || !superblock->IsPlausible()) return;
    // A superblock below sector 128 would put the partition's start before sector 0.
    if (sector < kSuperblockSectorOffset) return;
    if (InJournalOfAFoundVolume(sector)) return;
    const std::uint64_t start = sector - kSuperblockSectorOffset;
    if (!HasPlausibleRootNode(state_, start, *superblock)) return;
    const std::uint64_t size = std::uint64_t{superblock->blockCount} * superblock->SectorsPerBlock();
    if (!AddPartitionRecord(state_, start, size)) {
      tableFull_ = true;
      return;
    }
    journals_.push_back(JournalSectors(start, *superblock));
    window_.SetControlText(control::kFoundCount, FoundText(state_.partitionTable.count));
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

  WizardState& state_;
  WindowPort& window_;
  std::vector<SectorRange> journals_;
  const std::uint64_t totalSectors_;
  std::uint32_t requestsSinceReport_ = 0;
  bool tableFull_ = false;
};

}  // namespace

void AdvancedSearch(WizardState& state) {
  state.partitionTable.count = 0;
  WindowPort& window = state.Window();
  window.SetControlText(control::kFoundCount, FoundText(0));
  SectorScan(state).Run();

  state.StopRequested.store(0);
  if (state.partitionTable.count == 0) {
    window.ShowMessage(kAdvancedSearchFoundNothing);
    ShowView(state, 1);
  } else {
    ShowView(state, 3);
    ++state.wizardStage;
  }
}

}  // namespace vantrel
