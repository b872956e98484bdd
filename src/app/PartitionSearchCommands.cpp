#include "app/PartitionSearchCommands.h"

#include <algorithm>
#include <optional>

#include "app/ControlIds.h"
#include "app/PartitionList.h"
#include "app/ValueFields.h"
#include "app/WindowMessages.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "app/WizardViews.h"

namespace vantrel {

namespace {

std::string FoundText(std::size_t count) { return "Partitions Found : " + std::to_string(count); }

// Lists each partition in the partition tree as it is found (one listed already is not
// listed twice); the sector scan also shows the count found.
class ListingProgress : public SearchProgressBars {
 public:
  ListingProgress(WizardState& state, bool showCount)
      : SearchProgressBars(state.Window()), state_(state), showCount_(showCount) {}
  void OnFound(const PartitionRecord& record, std::size_t count) override {
    window_.RunOnWindowThread([&] {
      if (!IsPartitionListed(state_.partitionTable, record.start, record.size))
        AddPartitionRecord(state_, record.start, record.size);
    });
    if (showCount_) window_.SetControlText(control::kFoundCount, FoundText(count));
  }

 private:
  WizardState& state_;
  bool showCount_;
};

}  // namespace

void SearchProgressBars::OnScanned(std::uint64_t sector, std::uint64_t total) {
  window_.SetControlText(control::kStatusText, PartitionScanText(sector, total));
  window_.SetProgress(control::kSearchProgress,
                      static_cast<int>(std::min<std::uint64_t>(total == 0 ? 100 : sector * 100 / total, 100)));
}

void SearchProgressBars::OnCylinder(std::uint64_t index, std::uint64_t cylinders) {
  window_.SetProgress(control::kMoreSearchProgress, static_cast<int>(index * 100 / cylinders));
}

void QuickSearch(WizardState& state) {
  state.partitionTable.count = 0;
  ListingProgress progress(state, false);
  WindowMessages messages(state.Window());
  SearchDiskPartitions(state.disks.CurrentChoice(), PartitionSearchKind::Quick, StopToken(), progress, messages);
}

void AdvancedSearch(WizardState& state) { AdvancedSearchOn(state, state.disks.CurrentChoice()); }

void AdvancedSearchOn(WizardState& state, const DiskChoice& disk) {
  WindowPort& window = state.Window();
  window.RunOnWindowThread([&] { state.partitionTable.count = 0; });
  window.SetControlText(control::kFoundCount, FoundText(0));
  ListingProgress progress(state, true);
  const PartitionSearchResult result =
      FindPartitions(disk, PartitionSearchKind::Advanced, StopToken(state.stopRequested), progress);
  if (result.tableFull) window.ShowMessage(kPartitionTableFullMessage);

  window.RunOnWindowThread([&] {
    state.stopRequested.store(0);
    ShowPartitionsFound(state);
    if (state.partitionTable.count == 0) {
      window.ShowMessage(kAdvancedSearchFoundNothing);
      ShowView(state, WizardView::FirstStep);
    } else {
      ShowView(state, WizardView::PartitionList);
      state.stage = StageAfter(state.stage);
    }
  });
}

void SearchMorePartitions(WizardState& state) {
  WindowPort& window = state.Window();
  std::optional<DiskChoice> disk;
  window.RunOnWindowThread([&] {
    // What was found stays listed (and chosen): this search only adds what is new.
    ShowView(state, WizardView::MoreSearchRunning);
    disk.emplace(state.disks.CurrentChoice());
  });
  ListingProgress progress(state, false);
  const PartitionSearchResult result = FindPartitions(*disk, PartitionSearchKind::More, StopToken(), progress);
  if (result.tableFull) window.ShowMessage(kPartitionTableFullMessage);
  bool noneListed = false;
  window.RunOnWindowThread([&] {
    ShowPartitionsFound(state);
    ShowView(state, WizardView::MoreSearchDone);
    noneListed = state.partitionTable.count == 0;
  });
  // Said only when the list is empty: partitions listed before are still there to choose.
  if (noneListed) window.SystemMessage(kMoreSearchFoundNothing, SystemIcon::Error);
}

}  // namespace vantrel
