#pragma once
// The desktop window on a disk image, driven as a user drives it: clicks on tree items and
// buttons, hovering, the modal dialogs answered by script.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QEnterEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTreeWidget>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ControlIds.h"
#include "app/FolderListing.h"
#include "app/qt/ModeButton.h"
#include "app/qt/TreeBinder.h"
#include "app/qt/WizardApplication.h"
#include "qt/ModalAnswerer.h"
#include "support/Fixtures.h"
#include "support/Sha256.h"
#include "support/TempDir.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {

namespace fs = std::filesystem;
using namespace control;

class WindowFixture : public ::testing::Test {
 protected:
  void Open(const std::string& image) {
    unchanged_.emplace(image);
    qt::StartOptions options;
    options.programFolder = VANTREL_PROGRAM_FOLDER;
    options.disks = {{image, {}}};
    options.tempFolder = temp_.Path().string();
    app_ = std::make_unique<qt::WizardApplication>(options);
    app_->window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app_->window));
    app_->window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&app_->window));
  }
  void TearDown() override {
    if (app_) app_->wizard.Workers().WaitAll();
  }
  // With VANTREL_SCREENSHOT_DIR set, keeps a picture of the screen around the window.
  void Snap(const char* name) {
    const QString folder = qEnvironmentVariable("VANTREL_SCREENSHOT_DIR");
    if (folder.isEmpty()) return;
    QTest::qWait(300);
    const QRect frame = app_->window.frameGeometry();
    QApplication::primaryScreen()
        ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
        .save(folder + "/" + name + ".png");
  }
  QWidget* Control(int id) { return app_->window.findChild<QWidget*>(QString::number(id)); }
  // Lets the window run until done() holds (or fails after a minute).
  void RunUntil(const std::function<bool()>& done) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (!done()) {
      ASSERT_LT(std::chrono::steady_clock::now(), limit) << "the window did not get there";
      QTest::qWait(10);
    }
    QTest::qWait(20);
  }
  void ClickTreeItem(TreeId tree, TreeItemHandle handle) {
    QTreeWidget* widget = app_->window.TreeWidget(tree);
    QTreeWidgetItem* item = app_->window.Binder(tree).ItemOf(handle);
    ASSERT_NE(item, nullptr);
    widget->scrollToItem(item);
    QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, widget->visualItemRect(item).center());
    QTest::qWait(20);
  }
  void Click(int id) {
    auto* button = qobject_cast<QAbstractButton*>(Control(id));
    ASSERT_NE(button, nullptr) << id;
    ASSERT_TRUE(button->isVisible() && button->isEnabled()) << id;
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::qWait(20);
  }
  void Hover(int id) {
    QWidget* button = Control(id);
    const QPointF at(5, 5);
    QEnterEvent enter(at, at, button->mapToGlobal(at));
    QApplication::sendEvent(button, &enter);
    QTest::qWait(qt::ModeButton::RestDelay() + 50);  // the pointer rests on it
  }
  void ChooseDiskAndMode(int mode) {
    ClickTreeItem(TreeId::Disk, app_->window.TreeChildren(TreeId::Disk, app_->window.TreeRoot(TreeId::Disk)).at(0));
    Hover(mode);
    if (mode == kQuickSearchMode) Snap("1-disk-and-mode");
    ASSERT_TRUE(qobject_cast<QRadioButton*>(Control(mode))->isChecked());
    Click(kNextButton);
    RunUntil([&] { return app_->state.stage == WizardStage::Partitions && !app_->wizard.Workers().AnyRunning(); });
  }
  void ChoosePartitionAndBuild(std::uint64_t start, const char* searchButton) {
    const PartitionTable& table = app_->state.partitionTable;
    for (std::uint32_t i = 0; i < table.count; ++i)
      if (table.records[i].start == start) ClickTreeItem(TreeId::Partition, table.records[i].treeItem);
    answers_.Expect("RecoveryMode", [searchButton](QWidget* dialog) {
      dialog->findChild<QRadioButton*>(searchButton)->click();
      dialog->findChild<QAbstractButton*>("1")->click();
    });
    Click(kNextButton);
    RunUntil([&] { return app_->state.stage == WizardStage::Catalogue && !app_->wizard.Workers().AnyRunning(); });
  }
  // Checks the folder and saves it; with summarySnap, the summary at the end is kept as a
  // picture of that name before it is acknowledged.
  void SaveFolder(const std::string& name, const fs::path& destination, const char* summarySnap = nullptr) {
    QTreeWidget* tree = app_->window.TreeWidget(TreeId::Folder);
    const QList<QTreeWidgetItem*> found = tree->findItems(QString::fromStdString(name),
                                                          Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1);
    found[0]->setCheckState(0, Qt::Checked);  // the user's click on its check box
    QTest::qWait(20);
    answers_.Expect("FileSaving", [destination](QWidget* dialog) {
      dialog->findChild<QLineEdit*>("1005")->setText(QString::fromStdString(destination.string()));
      dialog->findChild<QAbstractButton*>("1")->click();
    });
    if (summarySnap)
      answers_.Expect("QMessageBox", [this, summarySnap](QWidget* box) {
        Snap(summarySnap);
        static_cast<QMessageBox*>(box)->buttons().front()->click();
      });
    app_->window.CommandAction(kMenuSave)->trigger();
    RunUntil([&] { return !app_->wizard.Workers().AnyRunning() && !QApplication::activeModalWidget(); });
  }
  std::vector<std::string> Mismatches(const nlohmann::json& entries, const std::string& folder, const fs::path& out) {
    std::vector<std::string> wrong;
    int compared = 0;
    for (const auto& entry : entries) {
      const std::string path = entry["path"];
      if (entry["kind"] == "dir" || path.rfind(folder + "/", 0) != 0) continue;
      ++compared;
      if (Sha256OfFile((out / SavedPath(path)).string()) != entry["sha256"]) wrong.push_back(path);
    }
    EXPECT_GT(compared, 0);
    return wrong;
  }

  TempDir temp_;
  std::optional<UnchangedImage> unchanged_;  // checked after the window is gone
  ModalAnswerer answers_;
  std::unique_ptr<qt::WizardApplication> app_;
};

}  // namespace vantrel::test
