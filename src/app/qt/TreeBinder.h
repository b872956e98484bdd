#pragma once
// Keeps a QTreeWidget in step with a tree model: items are added, updated and removed in
// place, so that scrolling and the user's expansion survive every refresh.

#include <QIcon>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "app/TreeModel.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace vantrel::qt {

class TreeBinder {
 public:
  TreeBinder(QTreeWidget* widget, bool checkBoxes, QIcon rootIcon, QIcon itemIcon);

  void Refresh(const TreeModel& model);
  // The model's handle of a widget item (kNoTreeItem for none).
  static TreeItemHandle HandleOf(const QTreeWidgetItem* item);
  QTreeWidgetItem* ItemOf(TreeItemHandle handle) const;
  // True while Refresh changes the widget (its signals are then not the user's).
  bool Refreshing() const { return refreshing_; }

 private:
  // The widget item of handle, updated; a new one goes under a new parent at once, or into
  // added, to be put in the widget with its new siblings.
  QTreeWidgetItem* Bind(const TreeModel& model, TreeItemHandle handle, QTreeWidgetItem* parent,
                        std::vector<QTreeWidgetItem*>& added);

  QTreeWidget* widget_;
  bool checkBoxes_;
  QIcon rootIcon_;
  QIcon itemIcon_;
  TreeItemHandle root_ = kNoTreeItem;
  std::uint64_t generation_ = 0;
  std::unordered_map<TreeItemHandle, QTreeWidgetItem*> items_;
  std::unordered_set<TreeItemHandle> expandedInModel_;
  TreeItemHandle selected_ = kNoTreeItem;
  bool refreshing_ = false;
};

}  // namespace vantrel::qt
