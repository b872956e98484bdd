// The menu bar's commands, prompts and balloon places.

#include "app/MenuCommands.h"

#include <gtest/gtest.h>

#include "app/ControlIds.h"

namespace vantrel::test {
namespace {

using namespace control;

TEST(MenuCommands, PromptsAreFoundInSubmenusAndMissingOnesAreEmpty) {
  EXPECT_EQ(CommandPrompt(kMenuLoadLog), "Load the recovery information\n");
  EXPECT_EQ(CommandPrompt(kMenuViewReport), "View the recovery details\n");
  EXPECT_EQ(CommandPrompt(kMenuEmailReport), "");
  EXPECT_EQ(CommandPrompt(12345), "");
}

TEST(MenuCommands, BalloonsSitAtTheirCommandsOffsetOrRightOfTheItem) {
  const BalloonPoint save = MenuBalloonPoint(kMenuSaveLog, 100, 50, 300);
  EXPECT_EQ(save.x, 290);
  EXPECT_EQ(save.y, 110);
  const BalloonPoint other = MenuBalloonPoint(kMenuSave, 100, 50, 300);
  EXPECT_EQ(other.x, 310);
  EXPECT_EQ(other.y, 70);
}

}  // namespace
}  // namespace vantrel::test
