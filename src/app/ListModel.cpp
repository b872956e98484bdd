#include "app/ListModel.h"

namespace vantrel {

std::size_t ListModel::InsertRow(std::string text, int image) {
  ListRow row;
  row.cells.push_back(std::move(text));
  row.image = image;
  rows_.push_back(std::move(row));
  return rows_.size() - 1;
}

void ListModel::SetCell(std::size_t row, std::size_t column, std::string text) {
  if (row >= rows_.size()) return;
  auto& cells = rows_[row].cells;
  if (cells.size() <= column) cells.resize(column + 1);
  cells[column] = std::move(text);
}

std::string ListModel::Cell(std::size_t row, std::size_t column) const {
  if (row >= rows_.size() || column >= rows_[row].cells.size()) return {};
  return rows_[row].cells[column];
}

std::vector<std::string> ListModel::FirstCells() const {
  std::vector<std::string> texts;
  texts.reserve(rows_.size());
  for (const auto& row : rows_) texts.push_back(row.cells.empty() ? std::string{} : row.cells[0]);
  return texts;
}

}  // namespace vantrel
