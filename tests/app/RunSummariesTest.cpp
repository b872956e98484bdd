#include <gtest/gtest.h>

#include "app/ControlIds.h"
#include "app/RunSummaries.h"
#include "app/SavingProgress.h"
#include "saving/SavingRun.h"
#include "support/TestWizard.h"

namespace vantrel::test {
namespace {

TEST(RunSummariesTest, SavingSummaryCountsEveryOutcomeAndNamesTheFilesConcerned) {
  SavingRun run;
  run.filesWritten = 12;
  run.bytesWritten = 3 * 1048576 + 524288;
  run.filesKeptExisting = 2;
  run.filesFailed = 1;
  for (int i = 0; i < 7; ++i) run.shortFiles.push_back("/out/short-" + std::to_string(i));
  run.damagedFiles = {"/out/bad"};
  const std::string text = SavingSummary(run, {});
  EXPECT_EQ(text.rfind("Saving complete.", 0), 0u);
  for (const char* part : {"Files written : 12 (3.5 MB)", "Existing files kept : 2", "could not be written : 1",
                           "Files cut short : 7", "/out/short-4", "and 2 more", "saved as zeros) : 1", "/out/bad"})
    EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
  EXPECT_EQ(text.find("/out/short-5"), std::string::npos);

  const std::string stopped = SavingSummary(run, {.stopped = true, .removedFile = "/out/big.iso"});
  EXPECT_EQ(stopped.rfind("Saving stopped.", 0), 0u);
  EXPECT_NE(stopped.find("Cut short by Stop and removed :\r\n    /out/big.iso"), std::string::npos);
  EXPECT_EQ(ByteCountText(300), "300 bytes");
  EXPECT_EQ(ByteCountText(3ull << 30), "3.0 GB");
}

TEST(RunSummariesTest, TimeRemainingLeavesOutTheTimeSpentOnQuestions) {
  TestWizard wizard;
  SavingRun run;
  run.saveStartTime = 1000;
  run.totalBytes = 200 << 20;
  run.bytesWritten = 100 << 20;
  // 100 MB in 10 s of writing, after 600 s at "Replace File Confirmation".
  ShowSavingProgress(wizard.window, run, 0, 0, 1610, 600);
  EXPECT_EQ(wizard.window.ControlText(control::kSavingTimeRemaining), "0 Min 10 Sec");
  EXPECT_EQ(wizard.window.ControlText(control::kSavingTimeElapsed), "10 Min 10 Sec");
  ClearSavingProgress(wizard.window);
  EXPECT_EQ(wizard.window.ControlText(control::kSavingTimeRemaining), "");
  EXPECT_EQ(wizard.window.Control(control::kSavingProgress).progress, 0);
}

}  // namespace
}  // namespace vantrel::test
