#pragma once
// What the "Save Log" and "Load Log" workers run. Each asks for its file through the
// dialogs and does the work on the worker thread.

namespace vantrel {

struct WizardState;
class WizardDialogs;

void RunSaveLogWorker(WizardState& state, WizardDialogs& dialogs);
void RunLoadLogWorker(WizardState& state, WizardDialogs& dialogs);

}  // namespace vantrel
