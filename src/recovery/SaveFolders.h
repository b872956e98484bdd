#pragma once
// Saving chosen folders of a partition in one call: the destination checked, the catalogue
// obtained, the folders selected, the files that pass the filters written below the
// destination, with the user asked about existing files and write errors.

#include <string>
#include <vector>

#include "recovery/CatalogueChoice.h"
#include "recovery/DiskChoice.h"
#include "saving/SavePrompts.h"
#include "saving/SavingOptions.h"
#include "saving/SavingRun.h"

namespace vantrel {

inline constexpr const char* kTreeSaveInvalidPath = "Inavalid Path";

struct SaveRequest {
  CatalogueRequest catalogue;        // the partition and the build
  std::vector<std::string> folders;  // paths from the root; none: the whole root and "Lost"
  SavingOptions filters;             // deleted files, extensions, dates, names
  std::string destination;           // made when missing
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

// Refuses a destination on the disk itself before anything is read; FilesFailed when files
// could not be written or came out damaged or short. run carries the flags that stop the
// save and collects what became of the files.
SaveOutcome SaveFolders(const DiskChoice& disk, const SaveRequest& request, SaveWatchers watchers, SavePrompts& prompts,
                        SavingRun& run);

}  // namespace vantrel
