// What the user sees at the default size: every column of the catalogue in sight, the
// caption of a short message box whole, the Settings dialog no taller than the window, and
// no partition details left behind by Search More Partitions.

#include <QGroupBox>
#include <QHeaderView>
#include <QMessageBox>
#include <QTableView>

#include "app/PartitionSearchCommands.h"
#include "app/RawRecoveryPanel.h"
#include "app/WizardState.h"
#include "app/qt/PortDialogs.h"
#include "qt/WindowFixture.h"

namespace vantrel::test {
namespace {

class WindowLayoutTest : public WindowFixture {
 protected:
  QTableView* List() { return static_cast<QTableView*>(Control(kDetailsList)); }
};

TEST_F(WindowLayoutTest, EveryCatalogueColumnFitsTheListWithItsTexts) {
  Open(FixtureImage("mbr-mixed"));
  ChooseDiskAndMode(kQuickSearchMode);
  ChoosePartitionAndBuild(94208, "quick");
  app_->window.RefreshNow();
  QTableView* list = List();
  QHeaderView* header = list->horizontalHeader();
  ASSERT_EQ(header->count(), 6);
  const int room = list->viewport()->width();
  for (int column = 0; column < header->count(); ++column) {
    const int right = header->sectionViewportPosition(column) + header->sectionSize(column);
    EXPECT_LE(right, room) << "column " << column << " runs past the edge";
    // Its heading and each text in sight fit inside it.
    EXPECT_GE(header->sectionSize(column),
              list->fontMetrics().horizontalAdvance(list->model()->headerData(column, Qt::Horizontal).toString()))
        << column;
    if (column == kNameColumn) continue;  // long names may be cut, as in any list
    for (int row = 0; row < std::min(list->model()->rowCount(), 10); ++row) {
      const QString text = list->model()->index(row, column).data().toString();
      EXPECT_GE(header->sectionSize(column), list->fontMetrics().horizontalAdvance(text)) << column << " " << row;
    }
  }
}

TEST_F(WindowLayoutTest, AShortMessageLeavesRoomForTheWholeCaption) {
  Open(FixtureImage("mbr-mixed"));
  int width = 0;
  QString caption;
  answers_.Expect("QMessageBox", [&](QWidget* box) {
    width = box->width();
    caption = box->windowTitle();
    Snap("invalid-end-sector");
    qobject_cast<QMessageBox*>(box)->buttons().front()->click();
  });
  app_->window.SystemMessage(kInvalidEndSector, SystemIcon::Error);
  ASSERT_FALSE(caption.isEmpty());
  QFont bold = app_->window.font();
  bold.setBold(true);
  EXPECT_GE(width, QFontMetrics(bold).horizontalAdvance(caption) + qt::kCaptionFurniture);
}

TEST_F(WindowLayoutTest, SettingsFitInTheWindowWithoutEmptyBands) {
  Open(FixtureImage("mbr-mixed"));
  int height = 0;
  std::vector<std::pair<QString, int>> spare;  // group, height beyond what it needs
  answers_.Expect("Settings", [&](QWidget* dialog) {
    height = dialog->frameGeometry().height();
    Snap("settings");
    for (QGroupBox* group : dialog->findChildren<QGroupBox*>())
      spare.emplace_back(group->title(), group->height() - group->sizeHint().height());
    dialog->findChild<QAbstractButton*>("2")->click();
  });
  app_->state.stage = WizardStage::Catalogue;  // Save Settings belongs to the catalogue step
  app_->window.RefreshNow();
  app_->window.CommandAction(kMenuSaveSettings)->trigger();
  RunUntil([&] { return answers_.AllAnswered() && !QApplication::activeModalWidget(); });
  ASSERT_GT(height, 0);
  EXPECT_LE(height, app_->window.frameGeometry().height());
  for (const auto& [title, extra] : spare) EXPECT_LE(extra, 24) << title.toStdString();
}

TEST_F(WindowLayoutTest, SearchMorePartitionsKeepsThePartitionsFoundAndTheOneChosen) {
  Open(FixtureImage("mbr-mixed"));
  ChooseDiskAndMode(kQuickSearchMode);
  const PartitionTable& table = app_->state.partitionTable;
  ASSERT_GT(table.count, 0u);
  const std::uint32_t found = table.count;
  ClickTreeItem(TreeId::Partition, table.records[0].treeItem);
  app_->window.RefreshNow();
  const std::string range = app_->window.ControlText(kRangeValue);
  ASSERT_NE(range, "");
  ASSERT_TRUE(Control(kSearchMoreButton)->isVisible());
  Click(kSearchMoreButton);
  RunUntil([&] { return !app_->wizard.Workers().AnyRunning() && !QApplication::activeModalWidget(); });
  app_->window.RefreshNow();
  // The cylinder search finds nothing new on this disk: the list, the choice, its details,
  // its range and Next are as they were, and no box says that nothing was found.
  EXPECT_EQ(table.count, found);
  EXPECT_EQ(app_->window.TreeWidget(TreeId::Partition)->topLevelItem(0)->childCount(), static_cast<int>(found));
  EXPECT_EQ(app_->state.currentPartition.index, 0);
  EXPECT_GT(List()->model()->rowCount(), 0);
  EXPECT_EQ(app_->window.ControlText(kRangeValue), range);
  EXPECT_EQ(app_->window.ControlText(kBootSectorsValue), std::to_string(found));
  EXPECT_TRUE(Control(kNextButton)->isEnabled());
  EXPECT_TRUE(answers_.Messages().empty());
}

}  // namespace
}  // namespace vantrel::test
