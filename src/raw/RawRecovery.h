#pragma once
// The raw recovery worker: reads the chosen range of the current disk window by window,
// finds headers and end markers, and carves what lies between them into numbered files
// in destinationPath. It reports into the raw recovery panel and leaves it idle when the
// range is done or the user stopped the run.

namespace vantrel {

struct WizardState;

// Runs on the worker thread after StartRawRecovery said yes.
void RunRawRecovery(WizardState& state);

}  // namespace vantrel
