#pragma once
// A Qt table model over a snapshot of a list view model. A refresh with the same rows and
// columns only updates check boxes and selection, so that scrolling survives. Rows are made
// only as the view asks for them: a list of a million rows costs what is in sight.

#include <QAbstractTableModel>
#include <QIcon>

#include "app/ListModel.h"

namespace vantrel {
class WindowPort;
}

namespace vantrel::qt {

class ListTableModel : public QAbstractTableModel {
 public:
  ListTableModel(WindowPort& window, int id, bool checkBoxes, QObject* parent);

  // True when the rows or columns changed (the model was reset).
  bool Refresh(ListModel snapshot);
  const ListModel& Snapshot() const { return list_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

 private:
  WindowPort& window_;
  int id_;
  bool checkBoxes_;
  // The row the view asked for last: it asks for each of its cells and roles in turn.
  const ListRow& CachedRow(std::size_t row) const;

  ListModel list_;
  mutable std::size_t cachedIndex_ = static_cast<std::size_t>(-1);
  mutable ListRow cachedRow_;
  QIcon folderIcon_;
  QIcon fileIcon_;
};

}  // namespace vantrel::qt
