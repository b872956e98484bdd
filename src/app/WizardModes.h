#pragma once
// The wizard's named states: the step it is at, the view the window shows, and the user's
// choices of recovery mode, file search and what to save. The numbers of RecoveryMode and
// FileSearchKind are the ones recovery logs store: they never change.

#include <cstdint>

namespace vantrel {

// The steps of the wizard, in order.
enum class WizardStage : int {
  ListingDisks = -1,  // the disk tree is being built
  DiskAndMode = 0,    // choose a disk and a recovery mode
  Partitions = 1,     // choose a partition (or the raw recovery panel)
  Catalogue = 2,      // the partition's folders and files
};

// The stage one step on, as the end of a search or a build takes the wizard.
constexpr WizardStage StageAfter(WizardStage stage) { return static_cast<WizardStage>(static_cast<int>(stage) + 1); }

enum class RecoveryMode : std::uint8_t { None = 0, QuickSearch = 1, AdvancedSearch = 2, RawRecovery = 3 };

// How a partition's catalogue is built: the live tree only, or every block of it.
enum class FileSearchKind : std::uint16_t { None = 0, Quick = 1, Advanced = 2 };

// What a saving run saves: the entries checked in the folder tree, or the rows chosen in the
// details list.
enum class SaveMode : std::uint8_t { None = 0, CheckedInTree = 1, ChosenInList = 2 };

// The fixed arrangements of the window's controls (ShowView of app/WizardViews.h). The
// numbers are those the window reports.
enum class WizardView : int {
  None = -1,                // before the first view
  SearchingPartitions = 0,  // a partition search starts: the disk choice goes
  FirstStep = 1,            // choose a disk and a mode
  PartitionList = 3,        // the partitions found
  BuildingCatalogue = 4,    // a catalogue build starts
  CatalogueTree = 5,        // the folder tree and the catalogue's columns appear
  CatalogueShown = 6,       // the catalogue is ready: saving, logs and listings allowed
  BackToPartitions = 7,     // the catalogue is left for the partition list
  RawRecoveryPanel = 8,
  MoreSearchRunning = 9,
  MoreSearchDone = 10,
  RawRecoveryLeft = 88,  // Back from the raw recovery panel: the first step again
};

// False for None and for a value that names no view.
constexpr bool IsShownView(WizardView view) {
  switch (view) {
    case WizardView::SearchingPartitions:
    case WizardView::FirstStep:
    case WizardView::PartitionList:
    case WizardView::BuildingCatalogue:
    case WizardView::CatalogueTree:
    case WizardView::CatalogueShown:
    case WizardView::BackToPartitions:
    case WizardView::RawRecoveryPanel:
    case WizardView::MoreSearchRunning:
    case WizardView::MoreSearchDone:
    case WizardView::RawRecoveryLeft: return true;
    case WizardView::None: return false;
  }
  return false;
}

}  // namespace vantrel
