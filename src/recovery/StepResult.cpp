#include "recovery/StepResult.h"

namespace vantrel {

StepResult StepResultOf(const Error& error) {
  const auto outcome = [&] {
    switch (error.kind) {
      case ErrorKind::Refused: return StepOutcome::Refused;
      case ErrorKind::Unreadable: return StepOutcome::DiskUnreadable;
      case ErrorKind::NotFound: return StepOutcome::NotFound;
      case ErrorKind::Rejected: return StepOutcome::LogRefused;
      case ErrorKind::Failed: return StepOutcome::FilesFailed;
      case ErrorKind::Stopped: return StepOutcome::Stopped;
    }
    return StepOutcome::Refused;
  }();
  return {outcome, error.text, error.reason};
}

Error ErrorOf(const StepResult& result) {
  const auto kind = [&] {
    switch (result.outcome) {
      case StepOutcome::Done:
      case StepOutcome::Refused: return ErrorKind::Refused;
      case StepOutcome::DiskUnreadable: return ErrorKind::Unreadable;
      case StepOutcome::NotFound: return ErrorKind::NotFound;
      case StepOutcome::LogRefused: return ErrorKind::Rejected;
      case StepOutcome::FilesFailed: return ErrorKind::Failed;
      case StepOutcome::Stopped: return ErrorKind::Stopped;
    }
    return ErrorKind::Refused;
  }();
  return {kind, result.text, result.reason};
}

}  // namespace vantrel
