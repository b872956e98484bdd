#pragma once
// The wizard's state, owned by the window's thread (workers hand their results over through
// WindowPort::RunOnWindowThread): the step it is at and the user's choices, then its parts,
// each holding what changes together: the disks, the program's files, the partitions found,
// the catalogue with its marks and the folder the list shows, saving and raw recovery.

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/CatalogueMarks.h"
#include "app/FolderRows.h"
#include "app/PartitionTable.h"
#include "app/WizardDisks.h"
#include "app/WizardModes.h"
#include "recovery/CarveDisk.h"
#include "recovery/SaveFolders.h"
#include "reiserfs/catalogue/Catalogue.h"

namespace vantrel {

class WindowPort;

struct CurrentPartition {
  std::uint64_t partitionStartSector = 0;
  std::uint64_t sizeSectors = 0;
  int index = -1;  // record of the partition table, -1 before a selection
};

// Where the program's own files are.
struct ProgramFiles {
  std::string programFolder;
  std::string activityLogPath;
  std::string languageFileName;
  std::string tempFolder;
  std::string listingFolder;  // private folder of this run for the listing files, made on first use
};

// The folder the details list shows: its rows, and the catalogue entry of each row in the
// order shown.
struct ShownFolder {
  std::shared_ptr<const FolderRows> rows;
  std::vector<ListedRow> entries;
};

// The saving options, kept for the run of the program, and what a saving run saves.
struct SavingState {
  SavingOptions options;
  SaveMode mode = SaveMode::None;
  // What the last count of a run counted, until that run saves it.
  std::optional<SaveSelection> counted;
  SavingRun run;
};

struct WizardState {
  WizardState() = default;
  WizardState(const WizardState&) = delete;
  WizardState& operator=(const WizardState&) = delete;

  WindowPort* mainWindow = nullptr;
  WindowPort& Window() const { return *mainWindow; }

  std::atomic<WizardStage> stage{WizardStage::DiskAndMode};
  RecoveryMode recoveryMode = RecoveryMode::None;
  FileSearchKind fileSearchKind = FileSearchKind::None;
  // The Stop of a partition search or a catalogue build.
  std::atomic<int> stopRequested{0};
  int balloonHelp = 1;
  // The folder the last save or raw recovery was asked to write to.
  std::string destinationPath;

  WizardDisks disks{mainWindow};
  ProgramFiles files;
  PartitionTable partitionTable;
  CurrentPartition currentPartition;
  // The catalogue of the current partition: folderList, fileList, objectList, the
  // partition's superblock and the build counters.
  Catalogue catalogue;
  // The folder tree's items of the catalogue's folders and the entries checked for saving.
  CatalogueMarks marks;
  ShownFolder shownFolder;
  SavingState saving;
  RawRecoveryState rawRecovery;
};

}  // namespace vantrel
