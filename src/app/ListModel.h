#pragma once
// A Qt-free list view model: columns, and rows of text cells with an image, a check box
// and a selection flag. A long list (a folder of a million files) need not hold its rows
// as text: a row source makes each row when it is asked for, and the model keeps only
// the marks (check box, selection) of its rows.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vantrel {

enum class ColumnAlignment { Left, Right, Center };

struct ListColumn {
  std::string heading;
  int width = 100;
  ColumnAlignment alignment = ColumnAlignment::Left;
};

struct ListRow {
  std::vector<std::string> cells;
  int image = -1;
  bool checked = false;
  bool selected = false;
};

// Rows made on demand. A source does not change once it is in a model (a model's snapshot
// shares it with the window), so it may be read from any thread.
class ListRowSource {
 public:
  virtual ~ListRowSource() = default;
  virtual std::size_t Count() const = 0;
  // The cells and the image of row `row` (< Count()); its marks are the model's.
  virtual ListRow Row(std::size_t row) const = 0;
};

class ListModel {
 public:
  void RemoveAllRows();
  void RemoveAllColumns();
  void InsertColumn(ListColumn column);
  // Replaces every row by the source's rows, none checked or selected.
  void SetRowSource(std::shared_ptr<const ListRowSource> source);
  // Appends a row whose first cell is text (after the source's rows); returns its index.
  std::size_t InsertRow(std::string text, int image = -1);
  // Changes a row held as text; the rows of a source are not changed.
  void SetCell(std::size_t row, std::size_t column, std::string text);
  std::string Cell(std::size_t row, std::size_t column) const;

  std::size_t RowCount() const;
  // Row `row` with its marks (an empty row beyond the end).
  ListRow Row(std::size_t row) const;
  bool RowChecked(std::size_t row) const;
  bool RowSelected(std::size_t row) const;
  // False beyond the end.
  bool SetRowChecked(std::size_t row, bool checked);
  bool SetRowSelected(std::size_t row, bool selected);

  // The order the rows were put in, for the heading that shows it: a column, and whether
  // it runs downwards; -1 for the order the rows were made in.
  void SetSortOrder(int column, bool descending);
  int SortColumn() const { return sortColumn_; }
  bool SortDescending() const { return sortDescending_; }

  const std::vector<ListColumn>& Columns() const { return columns_; }
  const std::shared_ptr<const ListRowSource>& Source() const { return source_; }
  // The rows held as text (those after the source's).
  const std::vector<ListRow>& Rows() const { return rows_; }
  // Counts the changes of columns and rows, not of marks: two snapshots of one model with the
  // same revision show the same texts.
  std::uint64_t Revision() const { return revision_; }
  // The first cell of every row, in order.
  std::vector<std::string> FirstCells() const;

 private:
  std::size_t SourceCount() const { return source_ ? source_->Count() : 0; }
  // A check box or selection mark: a source row's in sourceMarks, a held row's in rowMark.
  bool Mark(std::size_t row, const std::vector<bool>& sourceMarks, bool ListRow::*rowMark) const;
  bool SetMark(std::size_t row, bool on, std::vector<bool>& sourceMarks, bool ListRow::*rowMark);

  std::vector<ListColumn> columns_;
  std::shared_ptr<const ListRowSource> source_;
  std::vector<bool> sourceChecked_;
  std::vector<bool> sourceSelected_;
  std::vector<ListRow> rows_;
  int sortColumn_ = -1;
  bool sortDescending_ = false;
  std::uint64_t revision_ = 0;
};

}  // namespace vantrel
