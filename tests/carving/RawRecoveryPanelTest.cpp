// The raw recovery panel: what Start refuses, the running and idle states, and Stop.

#include <gtest/gtest.h>

#include <fstream>

#include "app/ControlIds.h"
#include "app/DiskList.h"
#include "app/RawRecoveryPanel.h"
#include "carving/CarveDestination.h"
#include "carving/RawTestSupport.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

class RawRecoveryPanel : public ::testing::Test {
 protected:
  RawRecoveryPanel() { wizard_.UseMemoryDisk(1600); }
  // Sets up the panel and presses Start without running the worker.
  bool Start(const CarveRequest& request) {
    SetUpPanel(wizard_.state, wizard_.window, request);
    return StartRawRecovery(wizard_.state);
  }
  std::vector<std::string> Messages() const { return wizard_.window.MessageTexts(); }
  std::string Text(int id) { return wizard_.window.ControlText(id); }

  TestWizard wizard_;
  TempDir out_;
};

TEST_F(RawRecoveryPanel, StartRefusesWithoutAKindOrWithABadRange) {
  EXPECT_FALSE(Start({.destination = out_.Path(), .kinds = {}}));
  EXPECT_EQ(wizard_.window.Messages().back().kind, ShownMessage::Kind::SystemInformation);
  EXPECT_FALSE(Start({.destination = out_.Path(), .start = 100, .end = 100}));
  EXPECT_EQ(Messages(), (std::vector<std::string>{kNoFileTypeChecked, kStartNotBeforeEnd}));

  SetUpPanel(wizard_.state, wizard_.window, {.destination = out_.Path(), .start = 0});
  wizard_.window.SetControlText(control::kRawEndSector, "12x");
  EXPECT_FALSE(StartRawRecovery(wizard_.state));
  EXPECT_EQ(Messages().back(), kInvalidEndSector);
  EXPECT_EQ(Text(control::kRawEndSector), "1600");  // refilled with the disk's size
  wizard_.window.SetControlText(control::kRawStartSector, "-5");
  EXPECT_FALSE(StartRawRecovery(wizard_.state));
  EXPECT_EQ(Messages().back(), kInvalidStartSector);
  EXPECT_NE(Text(control::kRawStartButton), kStopSearchingText);
}

TEST_F(RawRecoveryPanel, TheDestinationIsAskedForAndMadeOneLevelDeep) {
  EXPECT_FALSE(Start({.destination = ""}));  // "File Saving" cancelled
  EXPECT_TRUE(Messages().empty());
  EXPECT_FALSE(Start({.destination = out_ / "missing" / "deeper"}));
  EXPECT_EQ(Messages(), (std::vector<std::string>{kUnableToCreateDirectory}));

  // A file called tempFile that the user keeps there survives the probe.
  std::ofstream(out_ / "tempFile") << "keep";
  ASSERT_TRUE(Start({.destination = out_ / "new"}));
  EXPECT_TRUE(std::filesystem::is_directory(out_ / "new"));
  EXPECT_EQ(FolderNames(out_ / "new"), std::vector<std::string>{});
  EXPECT_EQ(wizard_.state.destinationPath, (out_ / "new").string());
  EXPECT_EQ(Text(control::kRawStartButton), kStopSearchingText);
  EXPECT_EQ(Text(control::kRawStatus), "Searching Disk - 0");
  EXPECT_FALSE(wizard_.window.Control(control::kBackButton).enabled);
  RunRawRecovery(wizard_.state);
  EXPECT_EQ(Text(control::kRawStartButton), kStartRecoveryText);
  EXPECT_TRUE(wizard_.window.Control(control::kBackButton).enabled);
  std::ifstream kept(out_ / "tempFile");
  std::string text;
  kept >> text;
  EXPECT_EQ(text, "keep");
}

// A window whose user presses the start/stop button once, when the results list first
// gets its rows, and answers the question with `yes`.
class StopOnFirstResult : public HeadlessWindow {
 public:
  using HeadlessWindow::HeadlessWindow;
  WizardState* state = nullptr;
  bool pressed = false;

 protected:
  void OnChanged(const WindowChange& change) override {
    HeadlessWindow::OnChanged(change);
    if (pressed || state == nullptr || change.kind != WindowChange::Kind::List ||
        change.id != control::kRawResultsList || List(control::kRawResultsList).Rows().empty())
      return;
    pressed = true;
    RequestRawRecoveryStop(*state);
  }
};

class RawRecoveryStop : public ::testing::Test {
 protected:
  RawRecoveryStop() {
    state_.mainWindow = &window_;
    window_.state = &state_;
    EnumerateDisks(state_, {{unchanged_, {}}});
  }
  const UnchangedImage unchanged_{CarveFixtureImage("carve-mixed")};
  ScriptedAnswers answers_;
  StopOnFirstResult window_{answers_};
  WizardState state_;
  TempDir out_;
};

TEST_F(RawRecoveryStop, YesStopsAfterTheFileBeingWrittenAndLeavesThePanelIdleWithItsTotals) {
  answers_.AddYesNo(true);
  ASSERT_TRUE(Carve(state_, window_, {.destination = out_.Path()}));
  EXPECT_EQ(answers_.QuestionsAsked(), (std::vector<std::string>{kTerminateQuestion}));
  EXPECT_EQ(FolderNames(out_.Path()), (std::vector<std::string>{"DOC1.DOC"}));
  const RawRecoveryState& raw = state_.rawRecovery;
  EXPECT_TRUE(raw.report.stopped);
  EXPECT_EQ(raw.run.counters, (std::array<std::uint32_t, kKindCount>{}));
  EXPECT_FALSE(raw.run.pending);
  EXPECT_FALSE(raw.running.load());
  EXPECT_EQ(window_.List(control::kRawResultsList).FirstCells(), raw.report.resultsRows);
  EXPECT_EQ(window_.ControlText(control::kRawStartButton), kStartRecoveryText);
  EXPECT_EQ(window_.ControlText(control::kRawProgress), "0 % Completed");
  EXPECT_FALSE(window_.Control(control::kRawProgress).shown);
  EXPECT_EQ(window_.ControlText(control::kRawStatus), "");
  EXPECT_TRUE(window_.Control(control::kBackButton).enabled);

  // The next run starts from fresh state: numbering from 1, every file again.
  TempDir again;
  ASSERT_TRUE(Carve(state_, window_, {.destination = again.Path()}));
  EXPECT_FALSE(raw.report.stopped);
  EXPECT_EQ(FolderNames(again.Path()).size(), 16u);
  EXPECT_EQ(raw.report.files.front().path, (again / "DOC1.DOC").string());
  EXPECT_EQ(raw.report.resultsRows.front(), "Total Word File(s) Recovered :  6");
}

TEST_F(RawRecoveryStop, NoLetsTheRunGoOnWithNothingLost) {
  answers_.AddYesNo(false);
  ASSERT_TRUE(Carve(state_, window_, {.destination = out_.Path()}));
  EXPECT_TRUE(window_.pressed);
  EXPECT_FALSE(state_.rawRecovery.report.stopped);
  EXPECT_EQ(FolderNames(out_.Path()).size(), 16u);
}

}  // namespace
}  // namespace vantrel::test
