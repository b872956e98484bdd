#pragma once
// How an engine step of a recovery ended, for a front end to report: done, or why not,
// with the sentence that says so.

#include <string>

#include "base/Result.h"

namespace vantrel {

enum class StepOutcome {
  Done,
  Refused,         // the request itself cannot be carried out (a bad option, a destination refused)
  DiskUnreadable,  // the disk named cannot be read
  NotFound,        // no such partition record or folder
  LogRefused,      // a recovery log that was not loaded or not written
  FilesFailed,     // files that could not be written, or came out damaged or short
  Stopped,         // the user stopped the run
};

struct StepResult {
  StepOutcome outcome = StepOutcome::Done;
  std::string text;    // what went wrong, as one sentence without a full stop; empty when done
  std::string reason;  // for a refused log: the message that said why

  bool Done() const { return outcome == StepOutcome::Done; }
};

// The step's result for an engine's error.
StepResult StepResultOf(const Error& error);
// The error a step that did not end Done stands for (its outcome as the error's kind).
Error ErrorOf(const StepResult& result);

}  // namespace vantrel
