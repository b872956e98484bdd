#pragma once
// The one record of the wizard's state that the window, the workers and the engines share:
// the user's choices, the disks, the found partitions, the current partition and its
// catalogue.

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "disk/DestinationOnSource.h"
#include "disk/DiskInfoStore.h"
#include "disk/DiskNameTable.h"
#include "disk/SectorReader.h"
#include "reiserfs/catalogue/Catalogue.h"
#include "carving/RawRecoveryState.h"
#include "app/CatalogueMarks.h"
#include "app/FolderRows.h"
#include "app/WindowBadSectorPrompt.h"
#include "app/PartitionTable.h"
#include "app/WizardModes.h"
#include "saving/SaveSelection.h"
#include "saving/SavingOptions.h"
#include "saving/SavingRun.h"

namespace vantrel {

class WindowPort;

struct CurrentPartition {
  std::uint64_t partitionStartSector = 0;
  std::uint64_t sizeSectors = 0;
  int index = -1;  // record of the partition table, -1 before a selection
};

struct WizardState {
  WizardState() = default;
  WizardState(const WizardState&) = delete;
  WizardState& operator=(const WizardState&) = delete;

  WindowPort* mainWindow = nullptr;
  std::atomic<WizardStage> stage{WizardStage::DiskAndMode};
  RecoveryMode recoveryMode = RecoveryMode::None;
  FileSearchKind fileSearchKind = FileSearchKind::None;
  SaveMode saveMode = SaveMode::None;
  std::uint16_t currentDiskIndex = 0;
  std::string selectedDiskText;
  std::string selectedDiskModel;
  std::atomic<int> stopRequested{0};
  int balloonHelp = 1;
  std::string programFolder;
  std::string activityLogPath;
  std::string languageFileName;
  std::string tempFolder;
  std::string listingFolder;  // private folder of this run for the listing files, made on first use
  CurrentPartition currentPartition;
  std::string destinationPath;

  DiskNameTable diskNames;
  DiskInfoStore diskInfo;
  WindowBadSectorPrompt badSectorPrompt{mainWindow};
  SectorReader reader{diskNames, &badSectorPrompt};
  // Where a destination is looked up before it is written to (tests give a device tree of
  // their own).
  DeviceLookup deviceLookup;
  PartitionTable partitionTable;
  // The catalogue of the current partition: folderList, fileList, objectList, the
  // partition's superblock and the build counters.
  Catalogue catalogue;
  // The folder tree's items of the catalogue's folders and the entries checked for saving.
  CatalogueMarks marks;
  // What the last count of a saving run counted, until that run saves it.
  std::optional<SaveSelection> countedSelection;
  // The entries of the rows of the details list, in row order, while it lists a folder.
  std::vector<ListedRow> listedRows;
  // The rows of the folder the list shows, in that order.
  std::shared_ptr<const FolderRows> shownRows;
  // The saving options, kept for the run of the program, and the state of a saving run.
  SavingOptions savingOptions;
  SavingRun saving;
  RawRecoveryState rawRecovery;

  WindowPort& Window() const { return *mainWindow; }
};

}  // namespace vantrel
