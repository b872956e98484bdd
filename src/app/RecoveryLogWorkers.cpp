#include "app/RecoveryLogWorkers.h"

#include "app/ControlIds.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "app/WizardViews.h"
#include "app/RecoveryLogCommands.h"
#include "app/RunSummaries.h"

namespace vantrel {

void LeaveLoadUndone(WizardState& state) {
  if (state.stage < WizardStage::Partitions) ShowView(state, WizardView::FirstStep);
}

void RunSaveLogWorker(WizardState& state) {
  if (const auto path = SaveRecoveryLog(state)) state.Window().ShowMessage(LogSavedSummary(*path));
}

void RunLoadLogWorker(WizardState& state) {
  if (LoadRecoveryLog(state) != LogLoadOutcome::Loaded) state.Window().RunOnWindowThread([&] { LeaveLoadUndone(state); });
}

}  // namespace vantrel
