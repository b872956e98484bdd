#include "app/PartitionSearchCommands.h"

#include <algorithm>

#include "app/ControlIds.h"
#include "app/PartitionList.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "app/WizardViews.h"

namespace vantrel {

namespace {

// Lists each partition in the partition tree as it is found.
class ListingProgress : public PartitionSearchProgress {
 public:
  explicit ListingProgress(WizardState& state) : state_(state) {}
  void OnFound(const PartitionRecord& record, std::size_t /*count*/) override {
    AddPartitionRecord(state_, record.start, record.size);
  }

 protected:
  WizardState& state_;
};

// The sector scan also shows its position, its progress and the count found.
class ScanProgress : public ListingProgress {
 public:
  using ListingProgress::ListingProgress;
  void OnFound(const PartitionRecord& record, std::size_t count) override {
    ListingProgress::OnFound(record, count);
    state_.Window().SetControlText(control::kFoundCount, FoundText(count));
  }
  void OnScanned(std::uint64_t sector, std::uint64_t total) override {
    WindowPort& window = state_.Window();
    window.SetControlText(control::kStatusText,
                          "Searching Partitions " + std::to_string(sector) + " / " + std::to_string(total));
    window.SetProgress(control::kSearchProgress,
                       static_cast<int>(std::min<std::uint64_t>(total == 0 ? 100 : sector * 100 / total, 100)));
  }
  static std::string FoundText(std::size_t count) { return "Partitions Found : " + std::to_string(count); }
};

class CylinderProgress : public ListingProgress {
 public:
  using ListingProgress::ListingProgress;
  void OnCylinder(std::uint64_t index, std::uint64_t cylinders) override {
    state_.Window().SetProgress(control::kMoreSearchProgress, static_cast<int>(index * 100 / cylinders));
  }
};

DiskReader CurrentDisk(WizardState& state) { return {state.reader, state.CurrentDiskIndex}; }

}  // namespace

void QuickSearch(WizardState& state) {
  state.partitionTable.count = 0;
  ListingProgress progress(state);
  const PartitionSearchResult result = SearchPartitionTables(CurrentDisk(state), progress);
  if (result.tableFull) state.Window().ShowMessage(kPartitionTableFullMessage);
  if (state.partitionTable.count == 0) state.Window().ShowMessage(kQuickSearchFoundNothing);
}

void AdvancedSearch(WizardState& state) {
  state.partitionTable.count = 0;
  WindowPort& window = state.Window();
  window.SetControlText(control::kFoundCount, ScanProgress::FoundText(0));
  const std::uint64_t totalSectors =
      state.diskInfo.ReadNumber(diskinfo::kSizeKey, DiskNameTable::DiskName(state.CurrentDiskIndex)) / kSectorSize;
  ScanProgress progress(state);
  const PartitionSearchResult result =
      ScanSectorsForPartitions(CurrentDisk(state), totalSectors, StopToken(state.StopRequested), progress);
  if (result.tableFull) window.ShowMessage(kPartitionTableFullMessage);

  state.StopRequested.store(0);
  if (state.partitionTable.count == 0) {
    window.ShowMessage(kAdvancedSearchFoundNothing);
    ShowView(state, 1);
  } else {
    ShowView(state, 3);
    ++state.wizardStage;
  }
}

void SearchMorePartitions(WizardState& state) {
  WindowPort& window = state.Window();
  ShowView(state, 9);
  ClearPartitionRecords(state);
  const std::string name = DiskNameTable::DiskName(state.CurrentDiskIndex);
  const CylinderGeometry reported{state.diskInfo.ReadNumber(diskinfo::kCylinderKey, name),
                                  state.diskInfo.ReadNumber(diskinfo::kHeadKey, name),
                                  state.diskInfo.ReadNumber(diskinfo::kSectorsPerTrackKey, name)};
  CylinderProgress progress(state);
  const PartitionSearchResult result = SearchCylinderStarts(CurrentDisk(state), reported, progress);
  if (result.tableFull) window.ShowMessage(kPartitionTableFullMessage);
  if (state.partitionTable.count == 0) window.SystemMessage(kMoreSearchFoundNothing, SystemIcon::Error);
  ShowView(state, 10);
}

}  // namespace vantrel
