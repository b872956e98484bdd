#include "app/RecoveryLogWorkers.h"

#include "app/ControlIds.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "app/WizardViews.h"

namespace vantrel {

namespace {
constexpr const char* kRecoveryLogsNotAvailable = "Recovery logs are not available in this version";
}

void RunSaveLogWorker(WizardState& state) { state.Window().ShowMessage(kRecoveryLogsNotAvailable); }

void RunLoadLogWorker(WizardState& state) {
  WindowPort& window = state.Window();
  window.ShowMessage(kRecoveryLogsNotAvailable);
  // Nothing was loaded: the command stays available.
  window.EnableControl(control::kLoadLogButton, true);
  window.EnableControl(control::kMenuLoadLog, true);
  if (state.wizardStage < 1) ShowView(state, 1);
}

}  // namespace vantrel
