#pragma once
// What the "Save Log" and "Load Log" workers run: the recovery log's save and load, each
// asking for its file through the window. A load that does not happen leaves the first
// step as it was.

namespace vantrel {

struct WizardState;

void RunSaveLogWorker(WizardState& state);
void RunLoadLogWorker(WizardState& state);

}  // namespace vantrel
