#pragma once
// What every console command shares: the disks and their sector reader, the console's
// progress line, messages and answers, and the catalogue a command works on. The commands
// call the engines themselves.

#include <optional>
#include <string>
#include <vector>

#include "base/NameDecoder.h"
#include "cli/ConsoleMessages.h"
#include "cli/ConsoleProgress.h"
#include "cli/ConsolePrompts.h"
#include "cli/JournalDisks.h"
#include "cli/ProgressLine.h"
#include "disk/DiskEnumeration.h"
#include "disk/DiskInfoStore.h"
#include "disk/DiskNameTable.h"
#include "disk/SectorReader.h"
#include "recovery/CatalogueChoice.h"
#include "recovery/DiskChoice.h"
#include "recovery/DiskStacks.h"
#include "recovery/StepResult.h"

namespace vantrel::cli {

enum ExitCode {
  kSuccess = 0,
  kUsageError = 1,
  kDiskError = 2,
  kNotFound = 3,           // no such partition record or folder
  kSomeFilesFailed = 4,    // files that could not be written, or came out damaged or short
  kLogRefused = 5,         // a recovery log that was not loaded or not written
  kOutOfMemoryStatus = 6,  // an allocation failed; the run ended, no partial file left
  kStoppedByUser = 130,
};

struct GlobalOptions {
  std::vector<NamedDisk> disks;
  PresetAnswers answers;
  bool json = false;        // messages are collected for the JSON output instead of printed
  std::string recoveryLog;  // the catalogue comes from this recovery log instead of a build
  NameDecoder names;        // the character set names are shown in (--name-encoding)
  std::vector<ManualArrayParameters> arraysByHand;  // --raid
  std::vector<std::string> journalDisks;  // per --disk: its --journal-disk, empty for none
};

class CliSession {
 public:
  explicit CliSession(const GlobalOptions& options);

  SectorReader& Reader() { return reader_; }
  const DiskNameTable& Disks() const { return names_; }
  const DiskInfoStore& Info() const { return info_; }
  // Disk n as the engines take it.
  DiskChoice Disk(int n) { return ChooseDisk(reader_, names_, info_, problems_, n); }

  const std::vector<EnumerationProblem>& Problems() const { return problems_; }
  // Arrays and logical volumes found on the disks that cannot be offered, and why.
  const std::vector<std::string>& StackNotes() const { return stackNotes_; }
  // Arrays described by hand (--raid) that could not be put together, and why.
  const std::vector<std::string>& ByHandProblems() const { return byHandProblems_; }
  const std::string& RecoveryLog() const { return recoveryLog_; }
  const NameDecoder& Names() const { return nameDecoder_; }

  ConsoleMessages& Messages() { return messages_; }
  ConsoleProgress& Progress() { return progress_; }
  ConsolePrompts& Prompts() { return prompts_; }
  CatalogueWatchers Watchers() { return {progress_, progress_, messages_}; }
  // Ends the progress line before a command prints its results.
  void FinishProgress() { line_.Finish(); }

  // Says on standard error why a step did not end as it should, and gives the exit code.
  int Report(const StepResult& result);

  std::optional<ChosenCatalogue>& Chosen() { return chosen_; }
  // How a build of disk n reads its journal: replayed unless noJournal, from the device
  // given for it with --journal-disk when it lives apart.
  JournalOptions Journal(int n, bool noJournal = false) {
    return {.replay = !noJournal, .journalDisk = journalDisks_.Of(n)};
  }
  const JournalDisks& JournalDevices() const { return journalDisks_; }

 private:
  ProgressLine line_;
  ConsoleMessages messages_;
  ConsoleProgress progress_{line_, messages_};
  ConsolePrompts prompts_;
  DiskNameTable names_;
  DiskInfoStore info_;
  SectorReader reader_{names_, &prompts_};
  std::vector<EnumerationProblem> problems_;
  std::vector<std::string> stackNotes_;
  std::vector<std::string> byHandProblems_;
  std::string recoveryLog_;
  NameDecoder nameDecoder_;
  std::optional<ChosenCatalogue> chosen_;
  JournalDisks journalDisks_;
};

}  // namespace vantrel::cli
