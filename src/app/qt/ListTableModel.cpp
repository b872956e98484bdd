#include "app/qt/ListTableModel.h"

#include <QApplication>
#include <QStyle>
#include <algorithm>
#include <climits>

#include "app/FolderListing.h"
#include "app/WindowPort.h"

namespace vantrel::qt {

namespace {

bool SameContent(const ListModel& a, const ListModel& b) {
  // Snapshots of one model: the same revision is the same texts.
  if (a.Revision() == b.Revision()) return true;
  if (a.Source() != b.Source() || a.Rows().size() != b.Rows().size() || a.Columns().size() != b.Columns().size())
    return false;
  for (std::size_t i = 0; i < a.Columns().size(); ++i)
    if (a.Columns()[i].heading != b.Columns()[i].heading) return false;
  for (std::size_t i = 0; i < a.Rows().size(); ++i)
    if (a.Rows()[i].cells != b.Rows()[i].cells || a.Rows()[i].image != b.Rows()[i].image) return false;
  return true;
}

}  // namespace

ListTableModel::ListTableModel(WindowPort& window, int id, bool checkBoxes, QObject* parent)
    : QAbstractTableModel(parent),
      window_(window),
      id_(id),
      checkBoxes_(checkBoxes),
      folderIcon_(QApplication::style()->standardIcon(QStyle::SP_DirIcon)),
      fileIcon_(QApplication::style()->standardIcon(QStyle::SP_FileIcon)) {}

bool ListTableModel::Refresh(ListModel snapshot) {
  cachedIndex_ = static_cast<std::size_t>(-1);
  if (SameContent(list_, snapshot)) {
    list_ = std::move(snapshot);
    if (list_.RowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
    return false;
  }
  beginResetModel();
  list_ = std::move(snapshot);
  endResetModel();
  return true;
}

const ListRow& ListTableModel::CachedRow(std::size_t row) const {
  if (row != cachedIndex_) {
    cachedRow_ = list_.Row(row);
    cachedIndex_ = row;
  }
  return cachedRow_;
}

int ListTableModel::rowCount(const QModelIndex& parent) const {
  // A view holds at most INT_MAX rows.
  return parent.isValid() ? 0 : static_cast<int>(std::min<std::size_t>(list_.RowCount(), INT_MAX));
}

int ListTableModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return std::max(1, static_cast<int>(list_.Columns().size()));
}

QVariant ListTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const auto column = static_cast<std::size_t>(index.column());
  if (role == Qt::CheckStateRole) {
    if (!checkBoxes_ || column != 0) return {};
    return list_.RowChecked(static_cast<std::size_t>(index.row())) ? Qt::Checked : Qt::Unchecked;
  }
  if (role != Qt::DisplayRole && role != Qt::DecorationRole && role != Qt::TextAlignmentRole) return {};
  const ListRow& row = CachedRow(static_cast<std::size_t>(index.row()));
  switch (role) {
    case Qt::DisplayRole:
      return column < row.cells.size() ? QString::fromStdString(row.cells[column]) : QString();
    case Qt::DecorationRole:
      if (column != 0) return {};
      if (row.image == kFolderRowImage) return folderIcon_;
      if (row.image == kFileRowImage) return fileIcon_;
      return {};
    case Qt::TextAlignmentRole:
      if (column < list_.Columns().size()) {
        switch (list_.Columns()[column].alignment) {
          case ColumnAlignment::Right: return int(Qt::AlignRight | Qt::AlignVCenter);
          case ColumnAlignment::Center: return int(Qt::AlignCenter);
          case ColumnAlignment::Left: break;
        }
      }
      return int(Qt::AlignLeft | Qt::AlignVCenter);
    default: return {};
  }
}

QVariant ListTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  const auto column = static_cast<std::size_t>(section);
  return column < list_.Columns().size() ? QString::fromStdString(list_.Columns()[column].heading) : QString();
}

Qt::ItemFlags ListTableModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (checkBoxes_ && index.column() == 0) flags |= Qt::ItemIsUserCheckable;
  return flags;
}

bool ListTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!checkBoxes_ || role != Qt::CheckStateRole || !index.isValid()) return false;
  const bool checked = value.toInt() == Qt::Checked;
  list_.SetRowChecked(static_cast<std::size_t>(index.row()), checked);
  window_.ListSetRowChecked(id_, static_cast<std::size_t>(index.row()), checked);
  emit dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

}  // namespace vantrel::qt
