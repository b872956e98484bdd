#pragma once
// Saves catalogue files into destination folders: the option tests, the replace question,
// the file's body written whole, and what became of it counted in the saving run.

#include <filesystem>
#include <string>

#include "reiserfs/catalogue/Catalogue.h"
#include "saving/DestinationNamer.h"
#include "saving/FileBody.h"
#include "saving/FileBodyWriter.h"
#include "saving/SavePrompts.h"
#include "saving/SavingOptions.h"
#include "saving/SavingRun.h"

namespace vantrel {

class FileSaver {
 public:
  FileSaver(const PartitionSource& partition, const Catalogue& catalogue, BodySource source,
            const SavingOptions& options, SavePrompts& prompts, SaveProgress& progress, SavingRun& run);

  // Saves one file entry into folder (a folder the namer made), under the name the namer
  // gives it, as the options and the answers say.
  void SaveFile(DestinationNamer& namer, const std::filesystem::path& folder, const CatalogueEntry& file);

 private:
  bool MayReplace(const std::filesystem::path& path);
  void ReportWriteError(const std::filesystem::path& path);

  const Catalogue& catalogue_;
  BodyCollector bodies_;
  FileBodyWriter writer_;
  const SavingOptions& options_;
  SavePrompts& prompts_;
  SaveProgress& progress_;
  SavingRun& run_;
};

// Writes one file whole at path, with no tests, prompts or progress (for opening it with
// the desktop's program); false when the file cannot be created.
bool WriteFileForViewing(const PartitionSource& partition, const Catalogue& catalogue, BodySource source,
                         const CatalogueEntry& file, const std::filesystem::path& path);

// The current time in seconds since 1970.
std::int64_t SecondsNow();

}  // namespace vantrel
