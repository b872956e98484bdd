#pragma once
// Saves catalogue files into destination folders: the option tests, the replace question,
// the file's body written whole, and what became of it counted in the saving run.

#include <filesystem>
#include <string>

#include "reiserfs/Catalogue.h"
#include "saving/FileBody.h"
#include "saving/FileBodyWriter.h"

namespace vantrel {

struct WizardState;

inline constexpr const char* kViewFileFailed = "Failed to open file \r\n Error Code 8";

class FileSaver {
 public:
  explicit FileSaver(WizardState& state);

  // Saves one file entry into folder, as the saving run's options and answers say.
  void SaveFile(const std::filesystem::path& folder, const CatalogueEntry& file);

  // Writes one file into the temporary folder with no tests, prompts or progress, and
  // opens it with the desktop's program; false when it cannot be created.
  bool ViewFile(const CatalogueEntry& file);

 private:
  bool MayReplace(const std::filesystem::path& path);
  void ReportWriteError(const std::filesystem::path& path);
  std::int64_t Now() const;

  WizardState& state_;
  BodyCollector bodies_;
  FileBodyWriter writer_;
};

}  // namespace vantrel
