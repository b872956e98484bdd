// What the user sees at the default size: every column of the catalogue in sight, every
// kind of raw recovery in sight with its whole caption and no control of that step over
// another, the caption of a short message box whole, the Settings dialog no taller than
// the window, and no partition details left behind by Search More Partitions.

#include <QGroupBox>
#include <QHeaderView>
#include <QMessageBox>
#include <QTableView>

#include "app/PartitionSearchCommands.h"
#include "app/RawRecoveryPanel.h"
#include "app/WizardState.h"
#include "app/qt/MainWindowLayout.h"
#include "app/qt/PortDialogs.h"
#include "carving/RawSignatures.h"
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

TEST_F(WindowLayoutTest, RawRecoveryShowsEveryKindWholeAndNoControlOverAnother) {
  Open(CarveFixtureImage("carve-basic"));
  ChooseDiskAndMode(kRawRecoveryMode);
  app_->window.RefreshNow();
  auto* kinds = static_cast<QAbstractItemView*>(Control(kRawFileTypesList));
  ASSERT_TRUE(kinds->isVisible());
  ASSERT_EQ(kinds->model()->rowCount(), kKindCount);
  const QRect room = kinds->viewport()->rect();
  for (int row = 0; row < kKindCount; ++row) {
    const QModelIndex index = kinds->model()->index(row, 0);
    const std::string caption = index.data().toString().toStdString();
    const QRect at = kinds->visualRect(index);
    EXPECT_TRUE(room.contains(at)) << caption << " is out of sight: " << at.x() << "," << at.y() << " " << at.width()
                                   << "x" << at.height() << " in " << room.width() << "x" << room.height();
    EXPECT_GE(at.width(), kinds->sizeHintForIndex(index).width()) << caption << " is cut";
  }
  // The controls in sight, groups aside (they frame others), cover none of each other.
  std::vector<std::pair<int, QRect>> shown;
  for (const qt::TemplateControl& placed : qt::TemplateControls())
    if (placed.kind != qt::ControlKind::Group && Control(placed.id) && Control(placed.id)->isVisible())
      shown.emplace_back(placed.id, Control(placed.id)->geometry());
  for (std::size_t a = 0; a < shown.size(); ++a)
    for (std::size_t b = a + 1; b < shown.size(); ++b)
      EXPECT_FALSE(shown[a].second.intersects(shown[b].second)) << shown[a].first << " and " << shown[b].first;
  // Each group holds its controls whole.
  for (const auto& [group, inside] :
       {std::pair{kRawFileTypesGroup, kRawFileTypesList}, std::pair{kRawMethodGroup, kRawEndSector},
        std::pair{kRawMethodGroup, kRawExactSizes}, std::pair{kRawReportGroup, kRawResultsList}})
    EXPECT_TRUE(Control(group)->geometry().contains(Control(inside)->geometry())) << inside;
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
