#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/ControlIds.h"
#include "app/RunSummaries.h"
#include "app/SavingProgress.h"
#include "app/WindowBadSectorPrompt.h"
#include "saving/SavingRun.h"
#include "support/Slowdown.h"
#include "support/TestWizard.h"

namespace vantrel::test {
namespace {

using namespace std::chrono_literals;

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
  EXPECT_EQ(text.find("Could not keep"), std::string::npos);
  run.notKept = {.owners = 3, .attributes = 1};
  EXPECT_NE(SavingSummary(run, {}).find("\r\nCould not keep: 3 owners, 1 extended attribute (only root may give"),
            std::string::npos);

  const std::string stopped = SavingSummary(run, {.stopped = true, .removedFile = "/out/big.iso"});
  EXPECT_EQ(stopped.rfind("Saving stopped.", 0), 0u);
  EXPECT_NE(stopped.find("Cut short by Stop and removed :\r\n    /out/big.iso"), std::string::npos);
  EXPECT_EQ(ByteCountText(300), "300 bytes");
  EXPECT_EQ(ByteCountText(3ull << 30), "3.0 GB");
}

TEST(RunSummariesTest, TimeRemainingLeavesOutTheTimeSpentOnQuestions) {
  TestWizard wizard;
  SavingRun run;
  run.totalBytes = 200 << 20;
  run.bytesWritten = 100 << 20;
  // 100 MB in 10 s of writing, after 600 s at "Replace File Confirmation".
  ShowSavingProgress(wizard.window, run, 0, 0, 610s, 600s);
  EXPECT_EQ(wizard.window.ControlText(control::kSavingTimeRemaining), "0 Min 10 Sec");
  EXPECT_EQ(wizard.window.ControlText(control::kSavingTimeElapsed), "10 Min 10 Sec");
  ClearSavingProgress(wizard.window);
  EXPECT_EQ(wizard.window.ControlText(control::kSavingTimeRemaining), "");
  EXPECT_EQ(wizard.window.Control(control::kSavingProgress).progress, 0);

  // A 3.7 MB save whose first 631 bytes went out in 50 ms, then 15 s at a question: a
  // moment's writing tells nothing yet (it told "97 Min 39 Sec").
  run.totalBytes = 3'700'000;
  run.bytesWritten = 631;
  ShowSavingProgress(wizard.window, run, 631, 631, 15'050ms, 15'000ms);
  EXPECT_EQ(wizard.window.ControlText(control::kSavingTimeRemaining), "");
  EXPECT_EQ(wizard.window.ControlText(control::kSavingTimeElapsed), "0 Min 15 Sec");
  // Half of it in 1.5 s of writing: 1.5 s to go.
  run.bytesWritten = 1'850'000;
  ShowSavingProgress(wizard.window, run, 0, 0, 16'500ms, 15'000ms);
  EXPECT_EQ(wizard.window.ControlText(control::kSavingTimeRemaining), "0 Min 1 Sec");
}

// Answers its questions after a while, as a user does.
class SlowWindow : public HeadlessWindow {
 public:
  using HeadlessWindow::HeadlessWindow;
  BadSectorAnswer AskBadSector(const BadSectorQuestion&) override {
    std::this_thread::sleep_for(150ms);
    return BadSectorAnswer::Skip;
  }
  ReplaceAnswer AskReplaceFile(const std::string&) override {
    std::this_thread::sleep_for(150ms);
    return ReplaceAnswer::Yes;
  }
};

TEST(RunSummariesTest, TheTimeAtTheBadSectorAndReplaceQuestionsIsCountedOnce) {
  ScriptedAnswers answers;
  SlowWindow slow(answers);
  WindowPort* window = &slow;
  WindowBadSectorPrompt badSector(window);
  QuestionTime& questions = badSector.Time();
  TimedSavePrompts prompts(slow, questions);
  EXPECT_EQ(badSector.AskBadSector({}), BadSectorPolicy::Skip);
  EXPECT_EQ(prompts.AskReplaceFile("/x"), ReplaceAnswer::Yes);
  EXPECT_GE(questions.Total(), 300ms);
  EXPECT_LT(questions.Total(), 300ms + 1s * kSlowdown);
}

}  // namespace
}  // namespace vantrel::test
