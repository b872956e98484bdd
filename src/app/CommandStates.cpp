#include "app/CommandStates.h"

#include <algorithm>

#include "app/ControlIds.h"
#include "app/WizardState.h"

namespace vantrel {

using namespace control;

namespace {

// The commands that need a catalogue on screen: saving it or its log, serving it, listing it.
constexpr int kCatalogueCommands[] = {kMenuSave,           kSaveDataButton,    kMenuSaveSettings, kMenuSaveLog,
                                      kSaveLogButton,      kMenuBrowse,        kBrowseButton,     kMenuDirectoryView,
                                      kMenuDirectoryPrint, kMenuDirectoryEmail};
// A recovery log takes the place of a search: loaded before a catalogue is shown.
constexpr int kLoadCommands[] = {kMenuLoadLog, kLoadLogButton};

bool Contains(const int* first, const int* last, int id) { return std::find(first, last, id) != last; }

}  // namespace

const std::vector<int>& StepCommands() {
  static const std::vector<int> commands = [] {
    std::vector<int> ids(std::begin(kCatalogueCommands), std::end(kCatalogueCommands));
    ids.insert(ids.end(), std::begin(kLoadCommands), std::end(kLoadCommands));
    return ids;
  }();
  return commands;
}

bool IsStepCommand(int id) {
  const std::vector<int>& commands = StepCommands();
  return std::find(commands.begin(), commands.end(), id) != commands.end();
}

CommandState StepCommandState(const WizardState& state, bool busy, int id) {
  if (!IsStepCommand(id)) return {};
  if (busy) return {false, kBusyReason};
  const bool catalogue = state.stage == WizardStage::Catalogue;
  if (Contains(std::begin(kCatalogueCommands), std::end(kCatalogueCommands), id))
    return catalogue ? CommandState{} : CommandState{false, kNeedsCatalogueReason};
  if (catalogue) return {false, kNeedsEarlierStepReason};
  if (state.recoveryMode == RecoveryMode::RawRecovery) return {false, kNotInRawRecoveryReason};
  return {};
}

}  // namespace vantrel
