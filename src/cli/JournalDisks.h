#pragma once
// The devices of journals kept apart from their volumes, given with --journal-disk after
// the --disk they belong to: opened read-only, each read through a sector reader of its own.

#include <optional>
#include <string>
#include <vector>

#include "disk/BadSectorPrompt.h"
#include "disk/DiskNameTable.h"
#include "disk/DiskReader.h"
#include "disk/SectorReader.h"

namespace vantrel::cli {

class JournalDisks {
 public:
  // paths[n]: the journal device of disk n, empty for none.
  JournalDisks(const std::vector<std::string>& paths, BadSectorPrompt* prompt);
  JournalDisks(const JournalDisks&) = delete;
  JournalDisks& operator=(const JournalDisks&) = delete;

  // The journal device of disk n; nothing when none was given (or it could not be opened).
  std::optional<DiskReader> Of(int n);
  // "PATH: why" for each device that could not be opened.
  const std::vector<std::string>& Problems() const { return problems_; }

 private:
  DiskNameTable names_;
  SectorReader reader_;
  std::vector<int> entryOf_;  // per disk: its journal's entry in names_, or -1
  std::vector<std::string> problems_;
};

}  // namespace vantrel::cli
