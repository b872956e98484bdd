#include "cli/CliSession.h"

#include <unistd.h>

#include <iostream>

namespace vantrel::cli {

CliSession::CliSession(const GlobalOptions& options)
    : line_(::isatty(STDERR_FILENO) ? &std::cerr : nullptr),
      messages_(line_, !options.json),
      prompts_(options.answers, ::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO), line_),
      recoveryLog_(options.recoveryLog),
      nameDecoder_(options.names),
      journalDisks_(options.journalDisks, &prompts_) {
  OpenedDisks opened = OpenDisksAndStacks(names_, info_, options.disks, "/sys/block", options.arraysByHand);
  problems_ = std::move(opened.problems);
  stackNotes_ = std::move(opened.stackNotes);
  byHandProblems_ = std::move(opened.byHandProblems);
}

int CliSession::Report(const StepResult& result) {
  line_.Finish();
  if (!result.text.empty()) {
    std::cerr << "vantrel-cli: " << result.text;
    if (!messages_.Prints() && !result.reason.empty()) std::cerr << ": " << result.reason;
    std::cerr << '\n';
  }
  switch (result.outcome) {
    case StepOutcome::Done: return kSuccess;
    case StepOutcome::Refused: return kUsageError;
    case StepOutcome::DiskUnreadable: return kDiskError;
    case StepOutcome::NotFound: return kNotFound;
    case StepOutcome::LogRefused: return kLogRefused;
    case StepOutcome::FilesFailed: return kSomeFilesFailed;
    case StepOutcome::Stopped: return kStoppedByUser;
  }
  return kUsageError;
}

}  // namespace vantrel::cli
