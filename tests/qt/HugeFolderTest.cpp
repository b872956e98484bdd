// A folder of a great many files in the real window: the list makes only the rows it shows,
// whether it is filled, scrolled, sorted or selected whole. The catalogue is made in memory;
// VANTREL_HUGE_FILES sets its size (by hand: 1000000, with the times it took printed).

#include <QElapsedTimer>
#include <QHeaderView>
#include <QTableView>
#include <cstdio>

#include "app/CatalogueBuildCommands.h"
#include "app/FolderListing.h"
#include "app/FolderTree.h"
#include "app/WizardState.h"
#include "qt/WindowFixture.h"

namespace vantrel::test {
namespace {

constexpr std::uint32_t kBigFolder = 100;
// Rows the list may make for one thing the user does: those in sight, and those it measures
// for the column widths; never a number that grows with the folder.
constexpr std::size_t kRowsPerStep = 1000;

class HugeFolderTest : public WindowFixture {
 protected:
  void SetUp() override {
    const int wanted = qEnvironmentVariableIntValue("VANTREL_HUGE_FILES");
    files_ = wanted > 0 ? static_cast<std::size_t>(wanted) : 200000;
  }
  // File i is "f" + a number that runs down as i runs up, so that sorting by name reverses
  // the list; its size runs up with i.
  static std::string FileName(std::size_t i, std::size_t files) {
    char name[32];
    std::snprintf(name, sizeof name, "F%09zu.eml", files - i);
    return name;
  }
  // The catalogue of a real build replaced by one whose folder "big" holds the files, shown
  // as after a build.
  void ShowBigFolder() {
    Catalogue catalogue;
    catalogue.currentSuperblock = app_->state.catalogue.currentSuperblock;
    AppendFolder(catalogue, "big", kBigFolder, kRootFolderId, 1700000000, 0, 0);
    for (std::size_t i = 0; i < files_; ++i)
      AppendFile(catalogue, FileName(i, files_), static_cast<std::uint32_t>(1000 + i), kBigFolder,
                 1700000000 + static_cast<std::uint32_t>(i), i, 0);
    catalogue.folderCount = 1;
    catalogue.fileCount = static_cast<std::uint32_t>(files_);
    app_->state.catalogue = std::move(catalogue);
    ReplaceFolderTree(app_->state);
    ShowCatalogue(app_->state);
    QElapsedTimer timer;
    timer.start();
    ShowFolder(app_->state, kBigFolder);
    Settle();
    Report("show a folder of VANTREL_HUGE_FILES files", timer.elapsed());
  }
  // Lets the window apply the changes and paint.
  void Settle() {
    app_->window.RefreshNow();
    List()->viewport()->repaint();
    QTest::qWait(10);
  }
  std::size_t RowsMade() const { return app_->state.shownFolder.rows ? app_->state.shownFolder.rows->RowsMade() : 0; }
  QTableView* List() { return static_cast<QTableView*>(Control(kDetailsList)); }
  QString Name(int row) { return List()->model()->index(row, kNameColumn).data().toString(); }
  void ClickHeading(int column) {
    QHeaderView* header = List()->horizontalHeader();
    QElapsedTimer timer;
    timer.start();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    Settle();
    Report("sort it by a heading", timer.elapsed());
  }
  void Report(const char* what, qint64 ms) {
    if (qEnvironmentVariableIsSet("VANTREL_HUGE_FILES")) std::printf("%s: %lld ms\n", what, ms);
  }

  std::size_t files_ = 0;
};

TEST_F(HugeFolderTest, TheListMakesOnlyTheRowsItShows) {
  Open(FixtureImage("mbr-mixed"));
  ChooseDiskAndMode(kQuickSearchMode);
  ChoosePartitionAndBuild(94208, "quick");
  ShowBigFolder();
  ASSERT_EQ(List()->model()->rowCount(), static_cast<int>(files_));
  EXPECT_EQ(Name(0).toStdString(), FileName(0, files_));
  EXPECT_LE(RowsMade(), kRowsPerStep);

  // Scrolled to the end.
  std::size_t before = RowsMade();
  List()->scrollToBottom();
  Settle();
  EXPECT_LE(RowsMade() - before, kRowsPerStep);
  EXPECT_EQ(Name(static_cast<int>(files_) - 1).toStdString(), FileName(files_ - 1, files_));

  // Every row selected: one range, whatever the count.
  before = RowsMade();
  List()->selectAll();
  Settle();
  EXPECT_TRUE(app_->window.ListRowSelected(kDetailsList, files_ - 1));
  EXPECT_TRUE(app_->window.ListRowSelected(kDetailsList, 0));
  EXPECT_LE(RowsMade() - before, kRowsPerStep);
}

TEST_F(HugeFolderTest, HeadingsSortTheRowsAndTheWizardReadsThemInTheirNewOrder) {
  Open(FixtureImage("mbr-mixed"));
  ChooseDiskAndMode(kQuickSearchMode);
  ChoosePartitionAndBuild(94208, "quick");
  ShowBigFolder();
  ClickHeading(kNameColumn);
  EXPECT_EQ(Name(0).toStdString(), FileName(files_ - 1, files_));
  EXPECT_EQ(List()->horizontalHeader()->sortIndicatorSection(), static_cast<int>(kNameColumn));
  EXPECT_LE(RowsMade(), kRowsPerStep);
  // The wizard's rows follow: the first row is the last file.
  ASSERT_EQ(app_->state.shownFolder.entries.size(), files_);
  EXPECT_EQ(app_->state.shownFolder.entries[0].index, files_ - 1);
  EXPECT_EQ(app_->window.ListCell(kDetailsList, 0, kIdColumn), std::to_string(1000 + files_ - 1));

  // Again: the other way round; then by size, largest last.
  ClickHeading(kNameColumn);
  EXPECT_EQ(Name(0).toStdString(), FileName(0, files_));
  EXPECT_EQ(List()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
  ClickHeading(kSizeColumn);
  EXPECT_EQ(List()->model()->index(0, kSizeColumn).data().toString(), "0");
  EXPECT_EQ(app_->state.shownFolder.entries.back().index, files_ - 1);

  // Another folder comes in catalogue order.
  ShowFolder(app_->state, kRootFolderId);
  Settle();
  EXPECT_FALSE(List()->horizontalHeader()->isSortIndicatorShown());
  EXPECT_EQ(Name(0), "big");
}

TEST_F(HugeFolderTest, AHundredThousandFoldersFillTheTree) {
  Open(FixtureImage("mbr-mixed"));
  ChooseDiskAndMode(kQuickSearchMode);
  ChoosePartitionAndBuild(94208, "quick");
  // 100 folders of 1,000 folders each.
  constexpr std::uint32_t kTop = 100, kEach = 1000;
  Catalogue catalogue;
  catalogue.currentSuperblock = app_->state.catalogue.currentSuperblock;
  for (std::uint32_t top = 0; top < kTop; ++top) {
    const std::uint32_t id = 1000 + top * (kEach + 1);
    AppendFolder(catalogue, "top" + std::to_string(top), id, kRootFolderId, 1700000000, 0, 0);
    for (std::uint32_t i = 1; i <= kEach; ++i)
      AppendFolder(catalogue, "sub" + std::to_string(i), id + i, id, 1700000000, 0, 0);
  }
  catalogue.folderCount = static_cast<std::uint32_t>(catalogue.folderList.size());
  app_->state.catalogue = std::move(catalogue);
  const std::uint32_t itemsBefore = app_->state.marks.treeItemCount;
  QElapsedTimer timer;
  timer.start();
  ReplaceFolderTree(app_->state);
  ShowCatalogue(app_->state);
  Report("100,000 folders: tree model", timer.restart());
  app_->window.RefreshNow();
  Report("100,000 folders: tree widget", timer.restart());
  QTreeWidget* tree = app_->window.TreeWidget(TreeId::Folder);
  tree->viewport()->repaint();
  Report("100,000 folders: first paint", timer.elapsed());
  ASSERT_EQ(tree->topLevelItemCount(), 1);
  ASSERT_EQ(tree->topLevelItem(0)->childCount(), static_cast<int>(kTop));
  EXPECT_EQ(tree->topLevelItem(0)->child(kTop - 1)->childCount(), static_cast<int>(kEach));
  EXPECT_EQ(app_->state.marks.treeItemCount - itemsBefore, kTop * (kEach + 1));
}

}  // namespace
}  // namespace vantrel::test
