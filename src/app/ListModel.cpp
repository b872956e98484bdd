#include "app/ListModel.h"

namespace vantrel {

void ListModel::RemoveAllRows() {
  rows_.clear();
  source_.reset();
  sourceChecked_.clear();
  sourceSelected_.clear();
  sortColumn_ = -1;
  ++revision_;
}

void ListModel::RemoveAllColumns() {
  columns_.clear();
  ++revision_;
}

void ListModel::InsertColumn(ListColumn column) {
  columns_.push_back(std::move(column));
  ++revision_;
}

void ListModel::SetRowSource(std::shared_ptr<const ListRowSource> source) {
  RemoveAllRows();
  source_ = std::move(source);
  sourceChecked_.assign(SourceCount(), false);
  sourceSelected_.assign(SourceCount(), false);
}

std::size_t ListModel::InsertRow(std::string text, int image) {
  ListRow row;
  row.cells.push_back(std::move(text));
  row.image = image;
  rows_.push_back(std::move(row));
  ++revision_;
  return RowCount() - 1;
}

void ListModel::SetCell(std::size_t row, std::size_t column, std::string text) {
  const std::size_t first = SourceCount();
  if (row < first || row - first >= rows_.size()) return;
  auto& cells = rows_[row - first].cells;
  if (cells.size() <= column) cells.resize(column + 1);
  cells[column] = std::move(text);
  ++revision_;
}

std::string ListModel::Cell(std::size_t row, std::size_t column) const {
  const std::size_t first = SourceCount();
  if (row < first) {
    ListRow made = source_->Row(row);
    return column < made.cells.size() ? std::move(made.cells[column]) : std::string{};
  }
  row -= first;
  if (row >= rows_.size() || column >= rows_[row].cells.size()) return {};
  return rows_[row].cells[column];
}

std::size_t ListModel::RowCount() const { return SourceCount() + rows_.size(); }

ListRow ListModel::Row(std::size_t row) const {
  const std::size_t first = SourceCount();
  if (row < first) {
    ListRow made = source_->Row(row);
    made.checked = sourceChecked_[row];
    made.selected = sourceSelected_[row];
    return made;
  }
  return row - first < rows_.size() ? rows_[row - first] : ListRow{};
}

bool ListModel::Mark(std::size_t row, const std::vector<bool>& sourceMarks, bool ListRow::*rowMark) const {
  const std::size_t first = SourceCount();
  if (row < first) return sourceMarks[row];
  return row - first < rows_.size() && rows_[row - first].*rowMark;
}

bool ListModel::SetMark(std::size_t row, bool on, std::vector<bool>& sourceMarks, bool ListRow::*rowMark) {
  const std::size_t first = SourceCount();
  if (row < first) {
    sourceMarks[row] = on;
    return true;
  }
  if (row - first >= rows_.size()) return false;
  rows_[row - first].*rowMark = on;
  return true;
}

bool ListModel::RowChecked(std::size_t row) const { return Mark(row, sourceChecked_, &ListRow::checked); }

bool ListModel::RowSelected(std::size_t row) const { return Mark(row, sourceSelected_, &ListRow::selected); }

bool ListModel::SetRowChecked(std::size_t row, bool checked) {
  return SetMark(row, checked, sourceChecked_, &ListRow::checked);
}

bool ListModel::SetRowSelected(std::size_t row, bool selected) {
  return SetMark(row, selected, sourceSelected_, &ListRow::selected);
}

void ListModel::SetSortOrder(int column, bool descending) {
  sortColumn_ = column;
  sortDescending_ = descending;
}

std::vector<std::string> ListModel::FirstCells() const {
  std::vector<std::string> texts;
  texts.reserve(RowCount());
  for (std::size_t row = 0; row < RowCount(); ++row) texts.push_back(Cell(row, 0));
  return texts;
}

}  // namespace vantrel
