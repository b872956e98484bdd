// Paths through the window that once broke it: catalogues built again after Back, leaving
// the raw panel, commands that compete with a running worker, a log loaded at the first step.

#include <QFileDialog>
#include <QGroupBox>
#include <QTableView>
#include <fstream>

#include "app/RecoveryLogCommands.h"
#include "app/WizardState.h"
#include "qt/WindowFixture.h"

namespace vantrel::test {
namespace {

constexpr std::uint64_t kFirstPartition = 2048;
constexpr std::uint64_t kLogicalPartition = 94208;
constexpr int kModes[] = {kQuickSearchMode, kAdvancedSearchMode, kRawRecoveryMode};

class WindowPathsTest : public WindowFixture {
 protected:
  // The widget tree holds the model's items, each under its parent, and nothing else.
  void ExpectTreeMirrorsModel(TreeId tree) {
    app_->window.RefreshNow();
    const TreeModel model = app_->window.Tree(tree);
    QTreeWidget* widget = app_->window.TreeWidget(tree);
    ASSERT_EQ(widget->topLevelItemCount(), model.Root() == kNoTreeItem ? 0 : 1);
    std::vector<std::pair<TreeItemHandle, QTreeWidgetItem*>> pending{{model.Root(), widget->topLevelItem(0)}};
    std::size_t compared = 0;
    while (!pending.empty()) {
      const auto [handle, item] = pending.back();
      pending.pop_back();
      ASSERT_EQ(qt::TreeBinder::HandleOf(item), handle);
      ASSERT_EQ(item->text(0).toStdString(), model.Text(handle));
      const auto& children = model.Children(handle);
      ASSERT_EQ(item->childCount(), static_cast<int>(children.size())) << model.Text(handle);
      for (std::size_t i = 0; i < children.size(); ++i)
        pending.emplace_back(children[i], item->child(static_cast<int>(i)));
      ++compared;
    }
    EXPECT_GT(compared, 1u);
  }
  void ChooseFirstDisk() {
    ClickTreeItem(TreeId::Disk, app_->window.TreeChildren(TreeId::Disk, app_->window.TreeRoot(TreeId::Disk)).at(0));
  }
  void WaitForQuiet() {
    RunUntil([&] { return !app_->wizard.Workers().AnyRunning() && !QApplication::activeModalWidget(); });
  }
  bool Enabled(int id) { return Control(id)->isVisible() && Control(id)->isEnabled(); }
};

TEST_F(WindowPathsTest, CataloguesBuiltAgainAfterBackKeepTheFolderTreeWhole) {
  Open(FixtureImage("mbr-mixed"));
  ChooseDiskAndMode(kQuickSearchMode);
  ChoosePartitionAndBuild(kFirstPartition, "quick");
  WaitForQuiet();
  ExpectTreeMirrorsModel(TreeId::Folder);
  // Another partition, the same one again, and the other kind of search.
  for (const auto& [start, search] : {std::pair{kLogicalPartition, "quick"}, std::pair{kLogicalPartition, "advanced"},
                                      std::pair{kFirstPartition, "advanced"}}) {
    Click(kBackButton);
    ASSERT_EQ(app_->state.stage, WizardStage::Partitions);
    ChoosePartitionAndBuild(start, search);
    WaitForQuiet();
    Snap(("rebuilt-" + std::to_string(start) + "-" + search).c_str());
    ExpectTreeMirrorsModel(TreeId::Folder);
    EXPECT_GT(static_cast<QTableView*>(Control(kDetailsList))->model()->rowCount(), 0);
  }
}

TEST_F(WindowPathsTest, BackFromTheRawPanelGivesTheModesBackToTheMouse) {
  Open(FixtureImage("mbr-mixed"));
  ChooseDiskAndMode(kRawRecoveryMode);
  ASSERT_TRUE(Control(kRawStartButton)->isVisible());
  Click(kBackButton);
  ChooseFirstDisk();
  EXPECT_FALSE(Control(kPartitionTypeGroup)->isVisible());
  EXPECT_FALSE(Control(kRawStartButton)->isVisible());
  for (const int mode : kModes) {
    QWidget* button = Control(mode);
    ASSERT_TRUE(Enabled(mode)) << mode;
    // Nothing is drawn over the button where the pointer meets it.
    const QPoint centre = button->mapTo(app_->window.centralWidget(), button->rect().center());
    EXPECT_EQ(app_->window.centralWidget()->childAt(centre), button) << mode;
  }
  Hover(kQuickSearchMode);
  Snap("back-from-raw-panel");
  EXPECT_EQ(app_->state.recoveryMode, RecoveryMode::QuickSearch);
  EXPECT_TRUE(Enabled(kNextButton));
}

TEST_F(WindowPathsTest, CommandsCompetingWithARunningSearchAreGreyedAndRefused) {
  // A disk of zeros that takes the advanced search a while.
  const fs::path disk = temp_.Path() / "empty.img";
  std::ofstream(disk).close();
  fs::resize_file(disk, std::uint64_t{8} << 30);
  Open(disk.string());
  ChooseFirstDisk();
  Hover(kAdvancedSearchMode);
  Click(kNextButton);
  RunUntil([&] { return app_->wizard.Workers().IsRunning(Worker::PartitionSearch); });
  app_->window.RefreshNow();
  QTest::qWait(20);
  for (const int id : {kMenuLoadLog, kMenuSave, kMenuSaveLog, kMenuSaveSettings, kMenuBrowse})
    EXPECT_FALSE(app_->window.CommandAction(id)->isEnabled()) << id;
  for (const int id : {kLoadLogButton, kSaveDataButton, kSaveLogButton, kNextButton, kBrowseButton})
    EXPECT_FALSE(Control(id)->isEnabled()) << id;
  EXPECT_TRUE(Enabled(kStopButton));
  // Whatever reaches the wizard anyway is refused without a word.
  for (const int id : {kMenuLoadLog, kLoadLogButton, kSaveDataButton, kMenuSave, kSaveLogButton, kMenuSaveLog,
                       kNextButton, kBackButton, kQuickSearchMode, kSearchMoreButton, kRawStartButton, kBrowseButton})
    app_->wizard.Command(id);
  app_->wizard.HoverMode(kRawRecoveryMode);
  QTest::qWait(50);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_TRUE(answers_.Messages().empty());
  EXPECT_FALSE(app_->wizard.Workers().IsRunning(Worker::LogLoad));
  EXPECT_EQ(app_->state.recoveryMode, RecoveryMode::AdvancedSearch);
  EXPECT_EQ(app_->state.stage, WizardStage::DiskAndMode);
  EXPECT_TRUE(Enabled(kStopButton));

  app_->state.stopRequested.store(1);
  WaitForQuiet();
  app_->window.RefreshNow();
  EXPECT_TRUE(app_->window.CommandAction(kMenuLoadLog)->isEnabled());
  EXPECT_TRUE(Control(kLoadLogButton)->isEnabled());
}

TEST_F(WindowPathsTest, LogLoadedAtTheFirstStepShowsTheCatalogueAloneWithItsRootFolder) {
  Open(FixtureImage("mbr-mixed"));
  ChooseDiskAndMode(kQuickSearchMode);
  ChoosePartitionAndBuild(kLogicalPartition, "quick");
  WaitForQuiet();
  const std::string log = (temp_.Path() / "PART5.SAV").string();
  ASSERT_TRUE(WriteRecoveryLog(app_->state, log));
  const int rootRows = static_cast<QTableView*>(Control(kDetailsList))->model()->rowCount();
  Click(kBackButton);
  Click(kBackButton);
  ASSERT_EQ(app_->state.stage, WizardStage::DiskAndMode);
  ChooseFirstDisk();

  // The file as Load Log reads it once chosen.
  std::ifstream in(log, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(LoadRecoveryLogBytes(app_->state, std::as_bytes(std::span(bytes.data(), bytes.size()))),
            LogLoadOutcome::Loaded);
  RunUntil([&] { return app_->state.stage == WizardStage::Catalogue && !app_->wizard.Workers().AnyRunning(); });
  app_->window.RefreshNow();
  for (const int id :
       {kRecoveryModesGroup, kSelectDiskGroup, kQuickSearchMode, kAdvancedSearchMode, kRawRecoveryMode, kDiskTree})
    EXPECT_FALSE(Control(id)->isVisible()) << id;
  EXPECT_TRUE(app_->window.TreeWidget(TreeId::Folder)->isVisible());
  EXPECT_EQ(static_cast<QTableView*>(Control(kDetailsList))->model()->rowCount(), rootRows);
  // The modes are gone: a hover that reaches the wizard changes nothing.
  app_->wizard.HoverMode(kRawRecoveryMode);
  EXPECT_EQ(app_->state.recoveryMode, RecoveryMode::QuickSearch);
  app_->window.RefreshNow();
  EXPECT_FALSE(Control(kNextButton)->isEnabled());
  EXPECT_TRUE(answers_.AllAnswered());
}

TEST_F(WindowPathsTest, KeyboardAloneChoosesADiskAModeAndAPartition) {
  Open(FixtureImage("mbr-mixed"));
  QTreeWidget* disks = app_->window.TreeWidget(TreeId::Disk);
  disks->setFocus();
  disks->setCurrentItem(disks->topLevelItem(0));
  QTest::keyClick(disks, Qt::Key_Down);
  QTest::keyClick(disks, Qt::Key_Space);
  QTest::qWait(20);
  ASSERT_TRUE(Enabled(kQuickSearchMode));
  Control(kQuickSearchMode)->setFocus();
  QTest::keyClick(Control(kQuickSearchMode), Qt::Key_Space);
  QTest::qWait(20);
  EXPECT_EQ(app_->state.recoveryMode, RecoveryMode::QuickSearch);
  ASSERT_TRUE(Enabled(kNextButton));
  QTest::keyClick(&app_->window, Qt::Key_N, Qt::AltModifier);
  RunUntil([&] { return app_->state.stage == WizardStage::Partitions && !app_->wizard.Workers().AnyRunning(); });

  QTreeWidget* partitions = app_->window.TreeWidget(TreeId::Partition);
  partitions->setFocus();
  partitions->setCurrentItem(partitions->topLevelItem(0));
  QTest::keyClick(partitions, Qt::Key_Down);
  QTest::keyClick(partitions, Qt::Key_Return);
  QTest::qWait(20);
  EXPECT_GE(app_->state.currentPartition.index, 0);
  app_->window.RefreshNow();
  // Tab leaves the details list rather than walking its rows.
  auto* list = static_cast<QTableView*>(Control(kDetailsList));
  ASSERT_GT(list->model()->rowCount(), 1);
  list->setFocus();
  list->setCurrentIndex(list->model()->index(0, 0));
  QTest::keyClick(list, Qt::Key_Tab);
  EXPECT_FALSE(list->hasFocus());
}

TEST_F(WindowPathsTest, PassingOverAModeOnTheWayToNextKeepsTheChosenOne) {
  Open(FixtureImage("mbr-mixed"));
  ChooseFirstDisk();
  Hover(kQuickSearchMode);
  ASSERT_EQ(app_->state.recoveryMode, RecoveryMode::QuickSearch);
  // The pointer crosses Advanced Search without resting on it.
  QWidget* advanced = Control(kAdvancedSearchMode);
  const QPointF at(5, 5);
  QEnterEvent enter(at, at, advanced->mapToGlobal(at));
  QApplication::sendEvent(advanced, &enter);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(advanced, &leave);
  QTest::qWait(qt::ModeButton::RestDelay() + 50);
  EXPECT_EQ(app_->state.recoveryMode, RecoveryMode::QuickSearch);
  EXPECT_TRUE(qobject_cast<QRadioButton*>(Control(kQuickSearchMode))->isChecked());
}

}  // namespace
}  // namespace vantrel::test
