// Where the keyboard goes as the user moves through the steps by keys, and what greyed
// commands say.

#include "qt/WindowFixture.h"

namespace vantrel::test {
namespace {

class WindowFocusTest : public WindowFixture {};

TEST_F(WindowFocusTest, AltNMovesTheKeyboardIntoThePartitionListAndBackToTheDisks) {
  Open(FixtureImage("mbr-mixed"));
  ClickTreeItem(TreeId::Disk, app_->window.TreeChildren(TreeId::Disk, app_->window.TreeRoot(TreeId::Disk)).at(0));
  Hover(kQuickSearchMode);
  QTest::keyClick(&app_->window, Qt::Key_N, Qt::AltModifier);
  RunUntil([&] { return app_->state.stage == WizardStage::Partitions && !app_->wizard.Workers().AnyRunning(); });
  app_->window.RefreshNow();
  EXPECT_TRUE(app_->window.TreeWidget(TreeId::Partition)->hasFocus());
  // Back by Alt+A: the disks again, with the mode still chosen and Next offered.
  QTest::keyClick(&app_->window, Qt::Key_A, Qt::AltModifier);
  RunUntil([&] { return app_->state.stage == WizardStage::DiskAndMode; });
  app_->window.RefreshNow();
  EXPECT_TRUE(app_->window.TreeWidget(TreeId::Disk)->hasFocus());
  EXPECT_TRUE(Control(kNextButton)->isEnabled());
  EXPECT_TRUE(qobject_cast<QAbstractButton*>(Control(kQuickSearchMode))->isChecked());
}

TEST_F(WindowFocusTest, GreyedCommandsSayWhyOnTheMenuAndTheirButton) {
  Open(FixtureImage("mbr-mixed"));
  app_->window.RefreshNow();
  QAction* save = app_->window.CommandAction(kMenuSave);
  EXPECT_FALSE(save->isEnabled());
  EXPECT_FALSE(Control(kSaveDataButton)->isEnabled());
  EXPECT_EQ(save->toolTip().toStdString(), kNeedsCatalogueReason);
  EXPECT_NE(Control(kSaveDataButton)->toolTip().toStdString().find(kNeedsCatalogueReason), std::string::npos);
  EXPECT_TRUE(app_->window.CommandAction(kMenuLoadLog)->isEnabled());
  EXPECT_TRUE(Control(kLoadLogButton)->isEnabled());
}

}  // namespace
}  // namespace vantrel::test
