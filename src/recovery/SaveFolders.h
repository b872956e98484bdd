#pragma once
// Saving chosen folders of a partition in one call: the destination checked, the catalogue
// obtained, the folders selected, the files that pass the filters written below the
// destination, with the user asked about existing files and write errors.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "recovery/CatalogueChoice.h"
#include "recovery/DiskChoice.h"
#include "saving/SavePrompts.h"
#include "saving/SaveSelection.h"
#include "saving/SavingOptions.h"
#include "saving/SavingRun.h"
#include "saving/SavingWalks.h"

namespace vantrel {

inline constexpr const char* kTreeSaveInvalidPath = "Inavalid Path";

struct SaveRequest {
  CatalogueRequest catalogue{};        // the partition and the build
  std::vector<std::string> folders{};  // paths from the root; none: the whole root and "Lost"
  SavingOptions filters{};             // deleted files, extensions, dates, names
  std::string destination{};           // made when missing
};

// Where a save reports while it runs.
struct SaveWatchers {
  CatalogueWatchers catalogue;
  SaveProgress& saving;
};

struct SaveOutcome {
  StepResult result;
  double seconds = 0;  // from the destination's making to the last file
};

// A selection of a catalogue already chosen, to be saved below destination.
struct SaveSelectionRequest {
  const Catalogue& catalogue;
  PartitionSource partition;  // where the catalogue was built
  BodySource source = BodySource::Tree;
  const SaveSelection& selection;
  const SavingOptions& filters;
  std::string destination;                             // made when missing
  const char* invalidPathText = kTreeSaveInvalidPath;  // told when it cannot be made
};

// Saves the selection: a destination on the disk itself is Refused (with the text that says
// so) before anything is made, one that cannot be made is Refused after telling the user;
// FilesFailed when files could not be written or came out damaged or short. run carries the
// flags that stop the save and collects what became of the files; its totals are the
// caller's.
SaveOutcome SaveSelectionOf(const DiskChoice& disk, const SaveSelectionRequest& request, RecoveryMessages& messages,
                            SaveProgress& progress, SavePrompts& prompts, SavingRun& run);

// Refuses a destination on the disk itself before anything is read; FilesFailed when files
// could not be written or came out damaged or short. run carries the flags that stop the
// save and collects what became of the files.
SaveOutcome SaveFolders(const DiskChoice& disk, const SaveRequest& request, SaveWatchers watchers, SavePrompts& prompts,
                        SavingRun& run);

// Writes one file of the catalogue whole into folder under its safe name, with no filters,
// prompts or progress (for opening it with the desktop's program). The path written, or
// nothing when the file cannot be created.
std::optional<std::filesystem::path> WriteFileToOpen(const PartitionSource& partition, const Catalogue& catalogue,
                                                     BodySource source, const CatalogueEntry& file,
                                                     const std::filesystem::path& folder);

}  // namespace vantrel
