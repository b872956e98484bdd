#pragma once
// What the "Save Log" and "Load Log" workers run: the recovery log's save and load, each
// asking for its file through the window. A load that does not happen leaves the first
// step as it was.

namespace vantrel {

struct WizardState;

void RunSaveLogWorker(WizardState& state);
void RunLoadLogWorker(WizardState& state);
// Nothing was loaded: the command stays available and the first step is shown again.
void LeaveLoadUndone(WizardState& state);

}  // namespace vantrel
