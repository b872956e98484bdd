// Lists whose rows are made when asked for: the list model over a row source, and the rows
// of a catalogue folder with their orders.

#include <gtest/gtest.h>

#include "app/FolderListing.h"
#include "app/FolderRows.h"
#include "app/HeadlessWindow.h"
#include "reiserfs/catalogue/Catalogue.h"

namespace vantrel::test {
namespace {

class NumberRows : public ListRowSource {
 public:
  explicit NumberRows(std::size_t count) : count_(count) {}
  std::size_t Count() const override { return count_; }
  ListRow Row(std::size_t row) const override { return {{"row" + std::to_string(row), "x"}, 7}; }

 private:
  std::size_t count_;
};

TEST(ListModelWithSource, RowsComeFromTheSourceWithTheModelsMarksAndHeldRowsFollow) {
  ListModel list;
  list.InsertRow("old");
  const auto revision = list.Revision();
  list.SetRowSource(std::make_shared<NumberRows>(1000000));
  EXPECT_NE(list.Revision(), revision);
  EXPECT_EQ(list.RowCount(), 1000000u);  // the old row went with the others
  EXPECT_EQ(list.Cell(999999, 0), "row999999");
  EXPECT_EQ(list.Cell(5, 9), "");
  EXPECT_TRUE(list.SetRowSelected(999999, true));
  EXPECT_TRUE(list.SetRowChecked(3, true));
  EXPECT_TRUE(list.Row(999999).selected);
  EXPECT_TRUE(list.Row(3).checked);
  EXPECT_FALSE(list.Row(4).selected);
  // Marks are no change of text.
  const auto marked = list.Revision();
  list.SetRowSelected(1, true);
  EXPECT_EQ(list.Revision(), marked);
  // A row held as text comes after the source's; the source's own rows are not edited.
  EXPECT_EQ(list.InsertRow("tail", 3), 1000000u);
  list.SetCell(1000000, 1, "end");
  list.SetCell(0, 0, "ignored");
  EXPECT_EQ(list.Cell(1000000, 1), "end");
  EXPECT_EQ(list.Cell(0, 0), "row0");
  EXPECT_FALSE(list.SetRowSelected(1000001, true));
  EXPECT_EQ(list.Row(1000001).cells.size(), 0u);
  list.RemoveAllRows();
  EXPECT_EQ(list.RowCount(), 0u);
  EXPECT_EQ(list.Source(), nullptr);
}

TEST(ListModelWithSource, TheWindowSelectsRangesAndKeepsTheOrderItWasGiven) {
  ScriptedAnswers answers;
  HeadlessWindow window(answers);
  window.ListSetRowSource(1001, std::make_shared<NumberRows>(10), 2, true);
  window.ListSetRowsSelected(1001, 3, 20, true);  // clipped at the end
  EXPECT_FALSE(window.ListRowSelected(1001, 2));
  EXPECT_TRUE(window.ListRowSelected(1001, 3));
  EXPECT_TRUE(window.ListRowSelected(1001, 9));
  window.ListSetRowsSelected(1001, 5, 6, false);
  EXPECT_FALSE(window.ListRowSelected(1001, 5));
  EXPECT_EQ(window.List(1001).SortColumn(), 2);
  EXPECT_TRUE(window.List(1001).SortDescending());
  window.ListRemoveAllRows(1001);
  window.ListSetRowsSelected(1001, 0, 0, true);  // nothing to select
  EXPECT_EQ(window.List(1001).SortColumn(), -1);
}

class FolderRowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AppendFolder(catalogue_, "zeta", 10, 2, 1000, 0, 0);
    AppendFolder(catalogue_, "Alpha", 11, 2, 3000, 0, 0);
    AppendFile(catalogue_, "b.txt", 20, 2, 500, 30, 1);
    AppendFile(catalogue_, "A.txt", 21, 2, 500, 10, 8);
    AppendFile(catalogue_, "c.txt", 22, 2, 0, 10, 0);
    rows_.AddFolder(catalogue_, catalogue_.folderList[0], 0);
    rows_.AddFolder(catalogue_, catalogue_.folderList[1], 1);
    for (std::size_t i = 0; i < 3; ++i) rows_.AddFile(catalogue_, catalogue_.fileList[i], i);
  }
  static std::vector<std::string> Names(const FolderRows& rows) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < rows.Count(); ++i) names.push_back(rows.Row(i).cells[kNameColumn]);
    return names;
  }

  Catalogue catalogue_;
  FolderRows rows_;
};

TEST_F(FolderRowsTest, RowsShowTheSixCellsOfTheirEntries) {
  ASSERT_EQ(rows_.Count(), 5u);
  const ListRow folder = rows_.Row(0);
  // A folder's ID is its object id, as a file's is (and as the console lists it).
  const auto expected = FolderRowCells(catalogue_, catalogue_.folderList[0], 10);
  EXPECT_EQ(folder.cells, std::vector<std::string>(expected.begin(), expected.end()));
  EXPECT_EQ(rows_.Row(1).cells[kIdColumn], "11");
  EXPECT_EQ(folder.image, kFolderRowImage);
  const ListRow deleted = rows_.Row(3);
  EXPECT_EQ(deleted.cells[kTypeColumn], "Deleted FILE");
  EXPECT_EQ(deleted.cells[kIdColumn], "21");
  EXPECT_EQ(deleted.image, kFileRowImage);
  EXPECT_EQ(rows_.Row(4).cells[kDateColumn], "Error");
  EXPECT_TRUE(rows_.Listed(1).folder);
  EXPECT_EQ(rows_.Listed(4).index, 2u);
  EXPECT_TRUE(rows_.Row(5).cells.empty());
  EXPECT_EQ(rows_.RowsMade(), 5u);
}

TEST_F(FolderRowsTest, SortingKeepsFoldersFirstAndEqualValuesInTheirOrder) {
  EXPECT_EQ(Names(*rows_.SortedBy(kNameColumn, false)),
            (std::vector<std::string>{"Alpha", "zeta", "A.txt", "b.txt", "c.txt"}));
  EXPECT_EQ(Names(*rows_.SortedBy(kNameColumn, true)),
            (std::vector<std::string>{"zeta", "Alpha", "c.txt", "b.txt", "A.txt"}));
  // Sizes 30, 10, 10: the two tens keep their order.
  EXPECT_EQ(Names(*rows_.SortedBy(kSizeColumn, false)),
            (std::vector<std::string>{"zeta", "Alpha", "A.txt", "c.txt", "b.txt"}));
  EXPECT_EQ(Names(*rows_.SortedBy(kDateColumn, true)),
            (std::vector<std::string>{"Alpha", "zeta", "b.txt", "A.txt", "c.txt"}));
  EXPECT_EQ(Names(*rows_.SortedBy(kIdColumn, true)),
            (std::vector<std::string>{"Alpha", "zeta", "c.txt", "A.txt", "b.txt"}));
  const auto byType = rows_.SortedBy(kTypeColumn, false);
  EXPECT_EQ(Names(*byType), (std::vector<std::string>{"zeta", "Alpha", "A.txt", "c.txt", "b.txt"}));
  // A sorted copy tells which entry each row stands for, and sorting it again starts afresh.
  EXPECT_EQ(byType->Listed(2).index, 1u);
  EXPECT_EQ(Names(*byType->SortedBy(kNameColumn, false)), Names(*rows_.SortedBy(kNameColumn, false)));
}

}  // namespace
}  // namespace vantrel::test
