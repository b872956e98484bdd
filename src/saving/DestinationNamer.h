#pragma once
// The names a saving run writes. Each name is written byte for byte where the destination
// can hold it; on a destination that cannot (FAT, exFAT, NTFS, or when asked) the safe name
// is written instead, and so it is for a single name the destination refuses (EINVAL,
// EILSEQ). Two entries of one folder that would get the same name are told apart by
// " (2)", " (3)", ... (an entry whose own name is one of them keeps it); every entry
// written under another name than its own is listed.

#include <cerrno>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/NameDecoder.h"

namespace vantrel {

// An entry saved under another name than the one it has on the disk.
struct RenamedEntry {
  std::string savedPath;   // the path written
  std::string nameOnDisk;  // the entry's own name (decoded, when names are converted)
  bool operator==(const RenamedEntry&) const = default;
};

// The name of one entry, and how much of it was given up to get a name the destination holds.
struct NameChoice {
  enum Care { AsWritten, Safe, Utf8Safe };
  std::string name;
  Care care = AsWritten;
};

// errno values by which a file system refuses a name itself rather than the operation.
inline bool NameRefused(int error) { return error == EINVAL || error == EILSEQ; }

class DestinationNamer {
 public:
  // safeNames: the safe name from the start (the destination needs it, or it was asked
  // for). convert: the decoder names are converted by before they are written.
  DestinationNamer(std::filesystem::path destination, bool safeNames, NameDecoder convert = {});

  // Before the run, with every entry to be saved (its folder in the selection and its name
  // on the disk), in two rounds: first every entry, then every entry again. An entry whose
  // name stands as it is keeps it when another entry's changed name would take it.
  void ForeseeChanged(const std::filesystem::path& selected, std::string_view onDisk);
  void ForeseeKept(const std::filesystem::path& selected, std::string_view onDisk);

  // The folder written for a selection's folder path (relative to the destination, its
  // names as on the disk), made with every folder above it. A folder that cannot be made
  // is left to fail the files written into it.
  std::filesystem::path MakeFolder(const std::filesystem::path& selected);

  // The name an entry named onDisk gets in the folder (a path MakeFolder gave), taken for it.
  NameChoice Choose(const std::filesystem::path& folder, std::string_view onDisk);
  // After the destination refused choice.name: the next safer name, taken for the entry;
  // false when there is none.
  bool Safer(const std::filesystem::path& folder, std::string_view onDisk, NameChoice& choice);
  // The entry was written under choice.name: listed when that is not its own name.
  void Written(const std::filesystem::path& folder, std::string_view onDisk, const NameChoice& choice);

  const std::vector<RenamedEntry>& Renamed() const { return renamed_; }

 private:
  std::string Claim(const std::filesystem::path& folder, const std::string& onDisk, const std::string& wanted);

  using NamesTaken = std::unordered_map<std::string, std::string>;  // name -> the name on the disk it is for

  NameChoice::Care FirstCare() const { return safeNames_ ? NameChoice::Safe : NameChoice::AsWritten; }

  std::filesystem::path destination_;
  bool safeNames_;
  NameDecoder convert_;
  // per folder written: each name taken, and the name on the disk it was taken for
  std::unordered_map<std::string, NamesTaken> taken_;
  // per selection folder: the names entries get changed into, then which entries keep them
  std::unordered_map<std::string, std::unordered_set<std::string>> changedInto_;
  std::unordered_map<std::string, NamesTaken> kept_;
  // selection folder path -> folder written, and back
  std::unordered_map<std::string, std::filesystem::path> folders_;
  std::unordered_map<std::string, std::string> selectedOf_;
  // selection folder paths that are, or lie below, a symbolic link found in the destination
  std::unordered_set<std::string> linked_;
  std::vector<RenamedEntry> renamed_;
};

}  // namespace vantrel
