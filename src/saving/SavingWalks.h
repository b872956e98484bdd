#pragma once
// A saving run: the selection's folders made below the destination and its files written
// into them, in the selection's order, until the run is stopped.

#include <filesystem>

#include "reiserfs/catalogue/Catalogue.h"
#include "saving/FileBody.h"
#include "saving/SavePrompts.h"
#include "saving/SaveSelection.h"
#include "saving/SavingOptions.h"
#include "saving/SavingRun.h"

namespace vantrel {

struct SaveTarget {
  PartitionSource partition;
  BodySource source = BodySource::Tree;
  std::filesystem::path destination;  // an existing folder
};

// What became of the files of a run.
struct SaveReport {
  std::uint32_t filesWritten = 0;       // written whole
  std::uint64_t bytesWritten = 0;
  std::uint32_t filesKeptExisting = 0;  // existing files not replaced
  std::uint32_t filesFailed = 0;        // could not be created or written
  std::vector<std::string> damagedFiles;
  std::vector<std::string> shortFiles;
  std::vector<RenamedEntry> renamedEntries;  // written under another name than their own
  std::vector<std::string> damageReasons;    // beside damagedFiles
};

// Runs the selection. run carries the flags that stop it (Stop, Skip, closing) and
// collects its totals; the report is taken from it at the end.
SaveReport SaveSelected(const SaveTarget& target, const Catalogue& catalogue, const SaveSelection& selection,
                        const SavingOptions& options, SavePrompts& prompts, SaveProgress& progress, SavingRun& run);

// Names are written as on the disk where the destination holds them, else (or with
// options.safeNames) as safe names; options.convertNames writes them decoded.
//
// Creates every folder along path; failures (a folder that exists) are ignored.
void CreateFolders(const std::filesystem::path& path);

}  // namespace vantrel
