#pragma once
// Saves catalogue files into destination folders: the option tests, the replace question,
// the file's body written whole, and what became of it counted in the saving run. As the
// options keep them: symbolic links made as links (all of them last, so that no file is
// ever written through one the save made), the further names of one file as hard links of
// the first, device nodes, FIFOs and sockets made as such, and each entry's owner, mode,
// times and extended attributes given to it.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "reiserfs/catalogue/Catalogue.h"
#include "saving/DestinationNamer.h"
#include "saving/FileBody.h"
#include "saving/FileBodyWriter.h"
#include "saving/KeptAttributes.h"
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
  // Gives a folder the run made for a folder entry what the options keep of it; after the
  // last entry written into it.
  void KeepFolder(const std::filesystem::path& path, const CatalogueEntry& folder);
  // Makes the symbolic links SaveFile put off; after every file of the run (a stopped run's
  // too: they came before the stop).
  void MakePendingLinks();

 private:
  struct PendingLink {
    std::filesystem::path path;
    const CatalogueEntry* link;
  };

  bool MayReplace(const std::filesystem::path& path);
  // Makes way at path for a new entry; false when the user keeps what is there.
  bool Replaceable(const std::filesystem::path& path);
  // Makes an entry at path with make (0, or -1 with errno), asking to replace what has its
  // name; false when it was not made (done: the user kept what is there).
  bool MakeReplacing(const std::filesystem::path& path, const std::function<int()>& make, bool& done);
  void ReportWriteError(const std::filesystem::path& path);
  // A name of a file already written: made a hard link of the first; false when the
  // destination cannot link it (it is then written as a copy).
  bool LinkToFirstName(const std::filesystem::path& path, const CatalogueEntry& file, bool& done);
  // A device node, FIFO or socket; false when the destination refuses to make it.
  bool MakeSpecial(const std::filesystem::path& path, const CatalogueEntry& file, bool& done);
  void WriteRegular(const std::filesystem::path& path, int fd, const CatalogueEntry& file);
  std::optional<EntryAttributes> AttributesOf(const CatalogueEntry& entry);

  const Catalogue& catalogue_;
  BodyCollector bodies_;
  FileBodyWriter writer_;
  AttributeKeeper keeper_;
  AttributeFiles attributeFiles_;
  std::vector<PendingLink> pendingLinks_;
  // The first name written of each object (dirId << 32 | objectId) with more than one.
  std::unordered_map<std::uint64_t, std::filesystem::path> firstNames_;
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
