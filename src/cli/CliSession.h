#pragma once
// What every console command shares: the wizard state, a window without a screen, the
// dialog answers chosen by the flags or the terminal, and the disks.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/DialogAnswers.h"
#include "cli/ConsoleAnswers.h"
#include "app/HeadlessWindow.h"
#include "app/WizardState.h"
#include "app/DiskList.h"

namespace vantrel::cli {

enum ExitCode {
  kSuccess = 0,
  kUsageError = 1,
  kDiskError = 2,
  kNotFound = 3,          // no such partition record or folder
  kSomeFilesFailed = 4,   // files that could not be written, or came out damaged or short
  kLogRefused = 5,        // a recovery log that was not loaded or not written
  kStoppedByUser = 130,
};

struct GlobalOptions {
  std::vector<NamedDisk> disks;
  PresetAnswers answers;
  bool json = false;  // messages are collected for the JSON output instead of printed
  std::string recoveryLog;  // the catalogue comes from this recovery log instead of a build
};

class CliSession {
 public:
  explicit CliSession(const GlobalOptions& options);

  WizardState& State() { return state_; }
  HeadlessWindow& Window() { return *window_; }
  const std::vector<EnumerationProblem>& Problems() const { return problems_; }
  const std::string& RecoveryLog() const { return recoveryLog_; }
  bool PrintsMessages() const { return printsMessages_; }
  // Reports on standard error why disk n cannot be read; true when it can.
  bool CheckDiskReadable(int disk) const;

 private:
  std::unique_ptr<DialogAnswers> answers_;
  std::unique_ptr<HeadlessWindow> window_;
  WizardState state_;
  std::vector<EnumerationProblem> problems_;
  std::string recoveryLog_;
  bool printsMessages_;
};

}  // namespace vantrel::cli
