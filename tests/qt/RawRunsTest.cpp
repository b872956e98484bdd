// Raw recovery in the window against the console: the options the user ticks are the
// options the run uses, and a run's end closes the questions asked about it.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "app/ControlIds.h"
#include "qt/WindowFixture.h"
#include "support/CliRunner.h"
#include "support/Fixtures.h"
#include "support/Sha256.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;
using namespace control;

// Every file of a folder by name, with its digest.
std::map<std::string, std::string> FolderDigests(const fs::path& folder) {
  std::map<std::string, std::string> digests;
  for (const auto& entry : fs::directory_iterator(folder))
    digests[entry.path().filename().string()] = Sha256OfFile(entry.path().string());
  return digests;
}

class RawRunsTest : public WindowFixture {
 protected:
  void CheckEveryKind() {
    auto* kinds = static_cast<QAbstractItemView*>(Control(kRawFileTypesList));
    for (int row = 0; row < kinds->model()->rowCount(); ++row)
      kinds->model()->setData(kinds->model()->index(row, 0), Qt::Checked, Qt::CheckStateRole);
  }
  void AnswerDestination(const fs::path& out) {
    answers_.Expect("FileSaving", [out](QWidget* dialog) {
      dialog->findChild<QLineEdit*>("1005")->setText(QString::fromStdString(out.string()));
      dialog->findChild<QAbstractButton*>("1")->click();
    });
  }
  void TypeSector(int id, const std::string& text) {
    auto* edit = static_cast<QLineEdit*>(Control(id));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromStdString(text));
  }
};

TEST_F(RawRunsTest, WholeFilesInTheWindowCarveWhatTheConsoleCarvesWithExactSizes) {
  const std::string image = CarveFixtureImage("whole-documents");
  Open(image);
  ChooseDiskAndMode(kRawRecoveryMode);
  CheckEveryKind();
  auto* wholeFiles = static_cast<QCheckBox*>(Control(kRawExactSizes));
  Click(kRawExactSizes);
  ASSERT_TRUE(wholeFiles->isChecked());
  ASSERT_TRUE(app_->state.rawRecovery.exactSizes);

  struct Case {
    const char* name;
    std::string range;  // the console's options for the window's sector range; empty: the whole disk
  };
  for (const Case& run : {Case{"whole disk", ""}, Case{"sector range", "--start 100 --end 1300"}}) {
    SCOPED_TRACE(run.name);
    if (!run.range.empty()) {
      Click(kRawSectorRange);
      TypeSector(kRawStartSector, "100");
      TypeSector(kRawEndSector, "1300");
    }
    const fs::path window = temp_.Path() / (std::string("window ") + run.name);
    AnswerDestination(window);
    Click(kRawStartButton);
    bool shownUnticked = false;
    RunUntil([&] {
      shownUnticked |= !wholeFiles->isChecked();
      return !app_->wizard.Workers().AnyRunning() && !QApplication::activeModalWidget();
    });
    EXPECT_FALSE(shownUnticked) << "the box showed unticked during the run";
    EXPECT_TRUE(wholeFiles->isChecked());
    EXPECT_TRUE(wholeFiles->isEnabled());

    const fs::path console = temp_.Path() / (std::string("console ") + run.name);
    const CliRun carved = RunCli("--disk " + Quoted(image) + " carve --exact-sizes --out " + Quoted(console.string()) +
                                 " " + run.range);
    ASSERT_EQ(carved.exitCode, 0) << carved.out << carved.err;
    const auto expected = FolderDigests(console);
    ASSERT_FALSE(expected.empty());
    // Only files carved whole have names of the newer kinds.
    EXPECT_TRUE(std::any_of(expected.begin(), expected.end(), [](const auto& file) {
      const std::string extension = fs::path(file.first).extension().string();
      return extension != ".DOC" && extension != ".XLS" && extension != ".PPT" && extension != ".ZIP";
    }));
    EXPECT_EQ(FolderDigests(window), expected);
  }
}

class RawRunsOnZerosTest : public RawRunsTest {
 protected:
  // A disk of zeros that raw recovery takes a few seconds over, its run started.
  void StartLongRun() {
    const fs::path disk = temp_.Path() / "zeros.img";
    std::ofstream(disk).close();
    fs::resize_file(disk, std::uint64_t{2} << 30);
    Open(disk.string());
    ChooseDiskAndMode(kRawRecoveryMode);
    CheckEveryKind();
    AnswerDestination(temp_.Path() / "carved");
    Click(kRawStartButton);
    ASSERT_TRUE(app_->state.rawRecovery.running.load());
  }
  // The summary, once it comes: its text, and whether a question was still up under it.
  void ExpectSummary() {
    answers_.Expect("QMessageBox", [this](QWidget* box) {
      summary_ = static_cast<QMessageBox*>(box)->text().toStdString();
      questionUnderSummary_ = question_ && question_->isVisible();
      PressButton(box, "&OK");
    });
  }
  static void PressButton(QWidget* box, const QString& text) {
    for (QAbstractButton* button : static_cast<QMessageBox*>(box)->buttons())
      if (button->text() == text) button->click();
  }

  QPointer<QWidget> question_;
  std::string summary_;
  bool questionUnderSummary_ = false;
};

TEST_F(RawRunsOnZerosTest, TheStopQuestionGoesAwayWhenTheRunEndsByItself) {
  StartLongRun();
  answers_.Expect("QMessageBox", [this](QWidget* box) {
    question_ = box;  // left open, as a user may leave it
    QTimer::singleShot(60000, box, [box] { PressButton(box, "&No"); });
  });
  ExpectSummary();
  Click(kRawStartButton);  // Stop: "Do you want to terminate this process ?"
  RunUntil([&] { return !app_->wizard.Workers().AnyRunning() && !QApplication::activeModalWidget(); });
  EXPECT_TRUE(answers_.AllAnswered());
  EXPECT_TRUE(summary_.starts_with("Raw recovery complete.")) << summary_;
  EXPECT_FALSE(questionUnderSummary_);
  EXPECT_EQ(app_->state.rawRecovery.requests.stop.load(), 0);
}

TEST_F(RawRunsOnZerosTest, ARunEndingWhileTheExitQuestionIsOpenShowsItsSummaryOnlyAfterTheAnswer) {
  StartLongRun();
  answers_.Expect("QMessageBox", [this](QWidget* box) {
    question_ = box;
    // Answered No a little after the run has ended (a summary would be up by then).
    auto* watch = new QTimer(box);
    QObject::connect(watch, &QTimer::timeout, box, [this, box, watch] {
      if (app_->state.rawRecovery.running.load()) return;
      watch->stop();
      QTimer::singleShot(300, box, [box] { PressButton(box, "&No"); });
    });
    watch->start(20);
  });
  ExpectSummary();
  app_->window.CommandAction(kMenuExit)->trigger();
  RunUntil([&] { return !app_->wizard.Workers().AnyRunning() && !QApplication::activeModalWidget(); });
  EXPECT_TRUE(answers_.AllAnswered());
  EXPECT_TRUE(summary_.starts_with("Raw recovery complete.")) << summary_;
  EXPECT_FALSE(questionUnderSummary_);
}

}  // namespace
}  // namespace vantrel::test
