#pragma once
// The commands that the menu and the top buttons share (Save, Save Log, Load Log, Browse,
// the settings and the directory list): whether the wizard's step allows each, and why
// not when it does not. The one place the menu items and their buttons are enabled from,
// together; the window greys what is refused and shows the reason as its tooltip.

#include <string>
#include <vector>

namespace vantrel {

struct WizardState;

struct CommandState {
  bool enabled = true;
  std::string reason;  // why it is greyed; empty when enabled
};

inline constexpr const char* kNeedsCatalogueReason = "Available once a partition's folders and files are shown";
inline constexpr const char* kNeedsEarlierStepReason = "Available while a disk or a partition is chosen";
inline constexpr const char* kNotInRawRecoveryReason = "Not available in Raw Recovery mode";
inline constexpr const char* kBusyReason = "Not available while a search, a build, a save or a recovery runs";

// The menu items and top buttons ruled here.
const std::vector<int>& StepCommands();
bool IsStepCommand(int id);

// What the wizard's step, its mode and a running worker (busy) allow of a step command; a
// command not ruled here is enabled.
CommandState StepCommandState(const WizardState& state, bool busy, int id);

}  // namespace vantrel
