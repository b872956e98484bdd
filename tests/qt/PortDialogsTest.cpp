// The dialogs that the engines ask for from their worker threads: each is shown on the GUI
// thread with its texts and buttons, the worker waits for it, and each way of answering it
// reaches the worker.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <thread>

#include "app/WizardState.h"
#include "app/qt/QtWizardWindow.h"

namespace vantrel::test {
namespace {

using Answerer = std::function<void(QMessageBox*)>;

Answerer Press(const char* button) {
  return [button](QMessageBox* box) {
    auto* pressed = box->findChild<QAbstractButton*>(button);
    ASSERT_NE(pressed, nullptr) << button;
    QTest::mouseClick(pressed, Qt::LeftButton);
  };
}
Answerer Key(Qt::Key key) {
  return [key](QMessageBox* box) { QTest::keyClick(box, key); };
}
Answerer Close() {
  return [](QMessageBox* box) { box->close(); };
}

class PortDialogsTest : public ::testing::Test {
 protected:
  // Asks on a worker thread, checks that the dialog named name comes up on the GUI thread
  // while the worker waits, hands it to check and answer, and returns the worker's answer.
  // The dialog runs its own event loop: it is found and answered from a timer.
  template <typename Answer>
  std::optional<Answer> AskFromWorker(const std::function<Answer()>& ask, const QString& name,
                                      const Answerer& answer, const Answerer& check = {}) {
    std::optional<Answer> result;
    std::atomic<bool> returned{false};
    bool cameUp = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (cameUp || !box || !box->isVisible()) return;
      cameUp = true;
      QTimer::singleShot(100, box, [&, box] {
        EXPECT_FALSE(returned) << "the worker went on before the answer";
        EXPECT_EQ(box->objectName(), name);
        if (check) check(box);
        answer(box);
      });
      // A dialog that the answer did not end fails the test rather than hanging it.
      QTimer::singleShot(3000, box, [box] {
        ADD_FAILURE() << "the dialog stayed open";
        box->done(-1);
      });
    });
    poll.start(10);
    std::thread worker([&] {
      result = ask();
      returned = true;
    });
    Wait([&] { return returned.load(); });
    worker.join();
    EXPECT_TRUE(cameUp) << "no dialog came up";
    return result;
  }

  static void Wait(const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done() && std::chrono::steady_clock::now() < limit) QTest::qWait(10);
  }
  static QStringList ButtonTexts(QMessageBox* box) {
    QStringList texts;
    for (QAbstractButton* button : box->buttons()) texts << button->text();
    return texts;
  }

  WizardState state_;
  qt::QtWizardWindow window_{state_};
};

TEST_F(PortDialogsTest, BadSectorEncounteredShowsItsButtonsAndHandsEachAnswerToTheWorker) {
  const std::function<BadSectorAnswer()> ask = [this] {
    return window_.AskBadSector({81920, 1, "/saved/sizes/4097.bin"});
  };
  const Answerer check = [](QMessageBox* box) {
    EXPECT_EQ(box->windowTitle(), "Bad Sector Encountered");
    EXPECT_EQ(box->text(),
              "Encountered Bad Sector(s) while reading disk.\n\nSector 81920\nFile : /saved/sizes/4097.bin");
    EXPECT_EQ(ButtonTexts(box), (QStringList{"Retry", "Skip", "Retry All", "Skip All"}));
    EXPECT_EQ(box->defaultButton(), box->findChild<QPushButton*>("retry"));
  };
  EXPECT_EQ(AskFromWorker(ask, "BadSectorEncountered", Press("retry"), check), BadSectorAnswer::Retry);
  EXPECT_EQ(AskFromWorker(ask, "BadSectorEncountered", Press("skip")), BadSectorAnswer::Skip);
  EXPECT_EQ(AskFromWorker(ask, "BadSectorEncountered", Press("retryAll")), BadSectorAnswer::RetryAll);
  EXPECT_EQ(AskFromWorker(ask, "BadSectorEncountered", Press("skipAll")), BadSectorAnswer::SkipAll);
  EXPECT_EQ(AskFromWorker(ask, "BadSectorEncountered", Key(Qt::Key_Return)), BadSectorAnswer::Retry);
  EXPECT_EQ(AskFromWorker(ask, "BadSectorEncountered", Key(Qt::Key_Escape)), BadSectorAnswer::Skip);
  EXPECT_EQ(AskFromWorker(ask, "BadSectorEncountered", Close()), BadSectorAnswer::Skip);
}

TEST_F(PortDialogsTest, ReplaceFileConfirmationShowsItsButtonsAndHandsEachAnswerToTheWorker) {
  const std::function<ReplaceAnswer()> ask = [this] { return window_.AskReplaceFile("/saved/a.txt"); };
  const Answerer check = [](QMessageBox* box) {
    EXPECT_EQ(box->windowTitle(), "Replace File Confirmation");
    EXPECT_TRUE(box->text().startsWith("The File Already Exists. Do you want to replace the existing file."));
    EXPECT_TRUE(box->text().contains("/saved/a.txt"));
    EXPECT_EQ(ButtonTexts(box), (QStringList{"&Yes", "&No", "Yes to &All", "No &to All"}));
  };
  const QString name = "ReplaceFileConfirmation";
  EXPECT_EQ(AskFromWorker(ask, name, Press("1"), check), ReplaceAnswer::Yes);
  EXPECT_EQ(AskFromWorker(ask, name, Press("2")), ReplaceAnswer::No);
  EXPECT_EQ(AskFromWorker(ask, name, Press("1139")), ReplaceAnswer::YesToAll);
  EXPECT_EQ(AskFromWorker(ask, name, Press("1138")), ReplaceAnswer::NoToAll);
  EXPECT_EQ(AskFromWorker(ask, name, Close()), ReplaceAnswer::No);
  EXPECT_EQ(AskFromWorker(ask, name, Key(Qt::Key_Escape)), ReplaceAnswer::No);
}

TEST_F(PortDialogsTest, ErrorWritingDestinationShowsItsTextsAndHandsAbortOrSkipToTheWorker) {
  const std::function<WriteErrorAnswer()> ask = [this] { return window_.AskWriteError("/saved/b.bin"); };
  const Answerer check = [](QMessageBox* box) {
    EXPECT_EQ(box->windowTitle(), "Error Writing Destination");
    const QString text = box->text();
    const auto above = text.indexOf("Error copying current file :");
    const auto below =
        text.indexOf("There may be bad sectors or error in file system or not enough space in destination.");
    EXPECT_EQ(above, 0);
    EXPECT_GT(below, text.indexOf("/saved/b.bin"));
    EXPECT_GT(text.indexOf("/saved/b.bin"), above);
    EXPECT_EQ(ButtonTexts(box), (QStringList{"&Abort", "&Skip"}));
  };
  const QString name = "ErrorWritingDestination";
  EXPECT_EQ(AskFromWorker(ask, name, Press("1"), check), WriteErrorAnswer::Abort);
  EXPECT_EQ(AskFromWorker(ask, name, Press("2")), WriteErrorAnswer::Skip);
  EXPECT_EQ(AskFromWorker(ask, name, Close()), WriteErrorAnswer::Skip);
}

}  // namespace
}  // namespace vantrel::test
