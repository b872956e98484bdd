#pragma once
// The state of one saving run: its flags, the user's last replace answer, the totals and
// the progress values, and what became of each file.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "base/StopToken.h"
#include "saving/DestinationNamer.h"
#include "saving/SaveAnswers.h"
#include "saving/PreserveOptions.h"

namespace vantrel {

struct SavingRun {
  // "Stop" (or "Abort" after a write error), "Skip" (only the file being written), and the
  // program closing (stop, and remove the file being written).
  StopRequests requests;
  ReplaceAnswer replaceChoice = ReplaceAnswer::Yes;  // the last answer to the replace question

  std::uint32_t totalFiles = 0;
  std::uint64_t totalBytes = 0;
  std::uint64_t bytesWritten = 0;
  std::uint32_t filesSaved = 0;  // files started
  std::uint32_t foldersSaved = 0;
  std::int64_t saveStartTime = 0;

  // What the summary reports.
  std::uint32_t filesWritten = 0;      // files written whole
  std::uint32_t filesKeptExisting = 0; // existing files not replaced
  std::uint32_t filesFailed = 0;       // could not be created or written
  std::vector<std::string> damagedFiles;  // written, but with unreadable blocks (as zeros)
  std::vector<std::string> shortFiles;    // written shorter than their size
  std::vector<RenamedEntry> renamedEntries;  // written under another name than their own
  std::vector<std::string> damageReasons;    // why each of damagedFiles is damaged, in its order
  NotKept notKept;                           // what the options asked to keep and could not be

  // Everything but the flags' owners: a new run starts from nothing.
  void Reset() {
    requests.Clear();
    replaceChoice = ReplaceAnswer::Yes;
    totalFiles = 0;
    totalBytes = 0;
    bytesWritten = 0;
    filesSaved = 0;
    foldersSaved = 0;
    saveStartTime = 0;
    filesWritten = 0;
    filesKeptExisting = 0;
    filesFailed = 0;
    damagedFiles.clear();
    shortFiles.clear();
    renamedEntries.clear();
    damageReasons.clear();
    notKept = {};
  }
};

}  // namespace vantrel
