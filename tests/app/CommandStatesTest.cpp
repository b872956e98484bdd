// The commands the menu and the top buttons share: what each step allows, the same for an
// item and its button, and the reason a greyed one gives.

#include "app/CommandStates.h"

#include <gtest/gtest.h>

#include "app/ControlIds.h"
#include "app/WizardState.h"

namespace vantrel::test {
namespace {

using namespace control;

constexpr std::pair<int, int> kItemAndButton[] = {{kMenuSave, kSaveDataButton},
                                                  {kMenuSaveLog, kSaveLogButton},
                                                  {kMenuLoadLog, kLoadLogButton},
                                                  {kMenuBrowse, kBrowseButton}};

TEST(CommandStates, EachStepAllowsItsCommandsOnTheMenuAndTheButtonsAlike) {
  WizardState state;
  for (const WizardStage stage : {WizardStage::DiskAndMode, WizardStage::Partitions, WizardStage::Catalogue})
    for (const RecoveryMode mode :
         {RecoveryMode::None, RecoveryMode::QuickSearch, RecoveryMode::AdvancedSearch, RecoveryMode::RawRecovery})
      for (const bool busy : {false, true}) {
        state.stage = stage;
        state.recoveryMode = mode;
        const std::string where = "stage " + std::to_string(static_cast<int>(stage)) + " mode " +
                                  std::to_string(static_cast<int>(mode)) + (busy ? " busy" : "");
        for (const auto& [item, button] : kItemAndButton) {
          const CommandState menu = StepCommandState(state, busy, item);
          const CommandState top = StepCommandState(state, busy, button);
          EXPECT_EQ(menu.enabled, top.enabled) << where << " " << item;
          EXPECT_EQ(menu.reason, top.reason) << where << " " << item;
          EXPECT_EQ(menu.reason.empty(), menu.enabled) << where << " " << item;
        }
        const bool catalogue = stage == WizardStage::Catalogue && !busy;
        for (const int id : {kMenuSave, kMenuSaveSettings, kMenuSaveLog, kMenuBrowse, kMenuDirectoryView,
                             kMenuDirectoryPrint, kMenuDirectoryEmail})
          EXPECT_EQ(StepCommandState(state, busy, id).enabled, catalogue) << where << " " << id;
        const bool load = stage != WizardStage::Catalogue && mode != RecoveryMode::RawRecovery && !busy;
        EXPECT_EQ(StepCommandState(state, busy, kMenuLoadLog).enabled, load) << where;
        if (busy) {
          EXPECT_EQ(StepCommandState(state, busy, kMenuSave).reason, kBusyReason);
        }
      }
}

TEST(CommandStates, CommandsOfNoStepAreLeftAlone) {
  WizardState state;
  for (const int id : {kHelpButton, kExitButton, kMenuExit, kMenuAbout, kNextButton}) {
    EXPECT_FALSE(IsStepCommand(id)) << id;
    EXPECT_TRUE(StepCommandState(state, true, id).enabled) << id;
  }
}

}  // namespace
}  // namespace vantrel::test
