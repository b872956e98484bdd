#pragma once
// A Qt-free list view model: columns, and rows of text cells with an image, a check box
// and a selection flag.

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

class ListModel {
 public:
  void RemoveAllRows() { rows_.clear(); }
  void RemoveAllColumns() { columns_.clear(); }
  void InsertColumn(ListColumn column) { columns_.push_back(std::move(column)); }
  // Appends a row whose first cell is text; returns its index.
  std::size_t InsertRow(std::string text, int image = -1);
  void SetCell(std::size_t row, std::size_t column, std::string text);
  std::string Cell(std::size_t row, std::size_t column) const;

  const std::vector<ListColumn>& Columns() const { return columns_; }
  const std::vector<ListRow>& Rows() const { return rows_; }
  std::vector<ListRow>& MutableRows() { return rows_; }
  // The first cell of every row, in order.
  std::vector<std::string> FirstCells() const;

 private:
  std::vector<ListColumn> columns_;
  std::vector<ListRow> rows_;
};

}  // namespace vantrel
