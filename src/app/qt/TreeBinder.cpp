#include "app/qt/TreeBinder.h"

#include <QTreeWidget>
#include <vector>

namespace vantrel::qt {

namespace {

constexpr int kHandleRole = Qt::UserRole + 1;

Qt::CheckState QtCheck(CheckState state) {
  switch (state) {
    case CheckState::Checked: return Qt::Checked;
    case CheckState::PartlyChecked: return Qt::PartiallyChecked;
    case CheckState::Unchecked: break;
  }
  return Qt::Unchecked;
}

}  // namespace

TreeBinder::TreeBinder(QTreeWidget* widget, bool checkBoxes, QIcon rootIcon, QIcon itemIcon)
    : widget_(widget), checkBoxes_(checkBoxes), rootIcon_(std::move(rootIcon)), itemIcon_(std::move(itemIcon)) {}

TreeItemHandle TreeBinder::HandleOf(const QTreeWidgetItem* item) {
  return item ? item->data(0, kHandleRole).toUInt() : kNoTreeItem;
}

QTreeWidgetItem* TreeBinder::ItemOf(TreeItemHandle handle) const {
  const auto found = items_.find(handle);
  return found == items_.end() ? nullptr : found->second;
}

QTreeWidgetItem* TreeBinder::Bind(const TreeModel& model, TreeItemHandle handle, QTreeWidgetItem* parent,
                                  std::vector<QTreeWidgetItem*>& added) {
  QTreeWidgetItem*& item = items_[handle];
  if (!item) {
    // Made apart from the widget and put in with its new siblings at once, or under its own
    // new parent: a hundred thousand new folders are a few insertions, not one each.
    item = new QTreeWidgetItem;
    item->setData(0, kHandleRole, handle);
    item->setIcon(0, parent ? itemIcon_ : rootIcon_);
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (checkBoxes_) flags |= Qt::ItemIsUserCheckable;
    item->setFlags(flags);
    if (parent && !parent->treeWidget())
      parent->addChild(item);
    else
      added.push_back(item);
  }
  const QString text = QString::fromStdString(model.Text(handle));
  if (item->text(0) != text) item->setText(0, text);
  if (checkBoxes_) {
    const Qt::CheckState check = QtCheck(model.Check(handle));
    if (item->checkState(0) != check || !item->data(0, Qt::CheckStateRole).isValid()) item->setCheckState(0, check);
  }
  return item;
}

void TreeBinder::Refresh(const TreeModel& model) {
  refreshing_ = true;
  // A reset model numbers its items afresh: the widget's items stand for nothing any more.
  if (model.Root() != root_ || model.Generation() != generation_) {
    widget_->clear();
    items_.clear();
    expandedInModel_.clear();
    selected_ = kNoTreeItem;
    root_ = model.Root();
    generation_ = model.Generation();
  }
  std::unordered_set<TreeItemHandle> seen;
  if (root_ != kNoTreeItem) {
    // Depth first; children keep the model's order because new ones are only appended. The
    // new items below a parent already in the widget go in together, after its children.
    std::vector<std::pair<TreeItemHandle, QTreeWidgetItem*>> pending{{root_, nullptr}};
    std::vector<QTreeWidgetItem*> added;
    QTreeWidgetItem* addedUnder = nullptr;
    std::vector<TreeItemHandle> toExpand;
    const auto putIn = [&] {
      if (added.empty()) return;
      if (addedUnder)
        addedUnder->addChildren(QList<QTreeWidgetItem*>(added.begin(), added.end()));
      else
        widget_->addTopLevelItems(QList<QTreeWidgetItem*>(added.begin(), added.end()));
      added.clear();
    };
    while (!pending.empty()) {
      const auto [handle, parent] = pending.back();
      pending.pop_back();
      if (parent != addedUnder && (!parent || parent->treeWidget())) {
        putIn();
        addedUnder = parent;
      }
      QTreeWidgetItem* item = Bind(model, handle, parent, added);
      seen.insert(handle);
      if (model.IsExpanded(handle) && expandedInModel_.insert(handle).second) toExpand.push_back(handle);
      const auto& children = model.Children(handle);
      for (auto child = children.rbegin(); child != children.rend(); ++child) pending.emplace_back(*child, item);
    }
    putIn();
    // Only an item in the widget can be expanded.
    for (const TreeItemHandle handle : toExpand) items_.at(handle)->setExpanded(true);
  }
  // Items the model no longer has: delete the topmost ones (their children go with them).
  // Every parent is read before anything is deleted.
  std::vector<QTreeWidgetItem*> doomed;
  for (auto it = items_.begin(); it != items_.end();) {
    if (seen.contains(it->first)) {
      ++it;
      continue;
    }
    QTreeWidgetItem* parent = it->second->parent();
    if (!parent || seen.contains(HandleOf(parent))) doomed.push_back(it->second);
    expandedInModel_.erase(it->first);
    it = items_.erase(it);
  }
  for (QTreeWidgetItem* item : doomed) delete item;
  if (model.Selected() != selected_) {
    selected_ = model.Selected();
    if (QTreeWidgetItem* item = ItemOf(selected_)) widget_->setCurrentItem(item);
  }
  refreshing_ = false;
}

}  // namespace vantrel::qt
