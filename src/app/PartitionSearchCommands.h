#pragma once
// The three partition searches run for the window on the current disk: the records listed
// in the partition tree as they are found, the status and progress shown, and the view and
// messages that end each search.

#include <cstdint>
#include <string>

#include "recovery/PartitionChoice.h"

namespace vantrel {

struct WizardState;
class WindowPort;

// From the partition tables.
void QuickSearch(WizardState& state);

// Every sector of the disk; stops when stopRequested is set, and clears it at the end.
void AdvancedSearch(WizardState& state);
// The same on a disk chosen beforehand, for a worker: the state is only changed on the
// window's thread.
void AdvancedSearchOn(WizardState& state, const DiskChoice& disk);

// A search's position in the window: the sector scan's status text and bar, the cylinder
// search's bar.
class SearchProgressBars : public PartitionSearchProgress {
 public:
  explicit SearchProgressBars(WindowPort& window) : window_(window) {}
  void OnScanned(std::uint64_t sector, std::uint64_t totalSectors) override;
  void OnCylinder(std::uint64_t index, std::uint64_t cylinders) override;

 protected:
  WindowPort& window_;
};

// The two usual partition starts of every cylinder.
void SearchMorePartitions(WizardState& state);

}  // namespace vantrel
