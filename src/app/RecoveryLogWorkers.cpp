#include "app/RecoveryLogWorkers.h"

#include "app/ControlIds.h"
#include "app/WindowPort.h"
#include "app/WizardDialogs.h"
#include "app/WizardState.h"
#include "app/WizardViews.h"

namespace vantrel {

namespace {

constexpr const char* kRecoveryLogsNotAvailable = "Recovery logs are not available in this version";

// Nothing was loaded: the command stays available and the first step is shown again.
void LeaveLoadUndone(WizardState& state) {
  WindowPort& window = state.Window();
  window.EnableControl(control::kLoadLogButton, true);
  window.EnableControl(control::kMenuLoadLog, true);
  if (state.wizardStage < 1) ShowView(state, 1);
}

}  // namespace

void RunSaveLogWorker(WizardState& state, WizardDialogs& dialogs) {
  if (dialogs.AskSaveLogPath().empty()) return;
  state.Window().ShowMessage(kRecoveryLogsNotAvailable);
}

void RunLoadLogWorker(WizardState& state, WizardDialogs& dialogs) {
  if (!dialogs.AskLoadLogPath().empty()) state.Window().ShowMessage(kRecoveryLogsNotAvailable);
  LeaveLoadUndone(state);
}

}  // namespace vantrel
