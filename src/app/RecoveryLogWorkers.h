#pragma once
// What the "Save Log" and "Load Log" workers run. Each asks for its file and does the work
// on the worker thread.

namespace vantrel {

struct WizardState;

void RunSaveLogWorker(WizardState& state);
void RunLoadLogWorker(WizardState& state);

}  // namespace vantrel
