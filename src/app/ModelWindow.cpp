#include "app/ModelWindow.h"

#include <algorithm>

namespace vantrel {

namespace {
using Kind = WindowChange::Kind;
}

void ModelWindow::ShowView(WizardView view) {
  if (!IsShownView(view)) return;
  {
    std::lock_guard lock(mutex_);
    view_ = view;
  }
  Notify({Kind::View, static_cast<int>(view)});
}

WizardView ModelWindow::CurrentView() const {
  std::lock_guard lock(mutex_);
  return view_;
}

void ModelWindow::SetControlText(int id, const std::string& text) {
  {
    std::lock_guard lock(mutex_);
    controls_.At(id).text = text;
  }
  Notify({Kind::ControlText, id});
}

std::string ModelWindow::ControlText(int id) {
  std::lock_guard lock(mutex_);
  return controls_.Get(id).text;
}

void ModelWindow::ShowControl(int id, bool shown) {
  {
    std::lock_guard lock(mutex_);
    controls_.At(id).shown = shown;
  }
  Notify({Kind::ControlState, id});
}

void ModelWindow::EnableControl(int id, bool enabled) {
  {
    std::lock_guard lock(mutex_);
    controls_.At(id).enabled = enabled;
  }
  Notify({Kind::ControlState, id});
}

void ModelWindow::SetChecked(int id, bool checked) {
  {
    std::lock_guard lock(mutex_);
    controls_.At(id).checked = checked;
  }
  Notify({Kind::ControlState, id});
}

bool ModelWindow::IsChecked(int id) {
  std::lock_guard lock(mutex_);
  return controls_.Get(id).checked;
}

void ModelWindow::SetProgress(int id, int position) {
  {
    std::lock_guard lock(mutex_);
    controls_.At(id).progress = std::clamp(position, 0, 100);
  }
  Notify({Kind::Progress, id});
}

ControlState ModelWindow::Control(int id) const {
  std::lock_guard lock(mutex_);
  return controls_.Get(id);
}

void ModelWindow::ListRemoveAllRows(int id) {
  {
    std::lock_guard lock(mutex_);
    lists_[id].RemoveAllRows();
  }
  Notify({Kind::List, id});
}

void ModelWindow::ListRemoveAllColumns(int id) {
  {
    std::lock_guard lock(mutex_);
    lists_[id].RemoveAllColumns();
  }
  Notify({Kind::List, id});
}

void ModelWindow::ListInsertColumn(int id, const ListColumn& column) {
  {
    std::lock_guard lock(mutex_);
    lists_[id].InsertColumn(column);
  }
  Notify({Kind::List, id});
}

std::size_t ModelWindow::ListInsertRow(int id, const std::string& text, int image) {
  std::size_t row = 0;
  {
    std::lock_guard lock(mutex_);
    row = lists_[id].InsertRow(text, image);
  }
  Notify({Kind::List, id});
  return row;
}

void ModelWindow::ListSetCell(int id, std::size_t row, std::size_t column, const std::string& text) {
  {
    std::lock_guard lock(mutex_);
    lists_[id].SetCell(row, column, text);
  }
  Notify({Kind::List, id});
}

std::string ModelWindow::ListCell(int id, std::size_t row, std::size_t column) {
  std::lock_guard lock(mutex_);
  return lists_[id].Cell(row, column);
}

std::size_t ModelWindow::ListRowCount(int id) {
  std::lock_guard lock(mutex_);
  return lists_[id].RowCount();
}

bool ModelWindow::ListRowSelected(int id, std::size_t row) {
  std::lock_guard lock(mutex_);
  return lists_[id].RowSelected(row);
}

bool ModelWindow::ListRowChecked(int id, std::size_t row) {
  std::lock_guard lock(mutex_);
  return lists_[id].RowChecked(row);
}

void ModelWindow::ListSetRowChecked(int id, std::size_t row, bool checked) {
  {
    std::lock_guard lock(mutex_);
    if (!lists_[id].SetRowChecked(row, checked)) return;
  }
  Notify({Kind::List, id});
}

void ModelWindow::ListSetRowSelected(int id, std::size_t row, bool selected) {
  {
    std::lock_guard lock(mutex_);
    if (!lists_[id].SetRowSelected(row, selected)) return;
  }
  Notify({Kind::List, id});
}

void ModelWindow::ListSetRowsSelected(int id, std::size_t first, std::size_t last, bool selected) {
  {
    std::lock_guard lock(mutex_);
    ListModel& list = lists_[id];
    last = std::min(last, list.RowCount() - 1);
    if (list.RowCount() == 0 || first > last) return;
    for (std::size_t row = first; row <= last; ++row) list.SetRowSelected(row, selected);
  }
  Notify({Kind::List, id});
}

void ModelWindow::ListSetRowSource(int id, std::shared_ptr<const ListRowSource> source, int sortColumn,
                                   bool descending) {
  {
    std::lock_guard lock(mutex_);
    lists_[id].SetRowSource(std::move(source));
    lists_[id].SetSortOrder(sortColumn, descending);
  }
  Notify({Kind::List, id});
}

ListModel ModelWindow::List(int id) const {
  std::lock_guard lock(mutex_);
  const auto found = lists_.find(id);
  return found == lists_.end() ? ListModel{} : found->second;
}

TreeItemHandle ModelWindow::TreeReset(TreeId tree, const std::string& rootText) {
  TreeItemHandle root = kNoTreeItem;
  {
    std::lock_guard lock(mutex_);
    root = TreeOf(tree).Reset(rootText);
  }
  Notify({Kind::Tree, static_cast<int>(tree)});
  return root;
}

TreeItemHandle ModelWindow::TreeRoot(TreeId tree) {
  std::lock_guard lock(mutex_);
  return TreeOf(tree).Root();
}

TreeItemHandle ModelWindow::TreeInsert(TreeId tree, TreeItemHandle parent, const std::string& text,
                                       int image, int selectedImage) {
  TreeItemHandle item = kNoTreeItem;
  {
    std::lock_guard lock(mutex_);
    item = TreeOf(tree).InsertItem(parent, text, image, selectedImage);
  }
  Notify({Kind::Tree, static_cast<int>(tree)});
  return item;
}

void ModelWindow::TreeDelete(TreeId tree, TreeItemHandle item) {
  {
    std::lock_guard lock(mutex_);
    TreeOf(tree).DeleteItem(item);
  }
  Notify({Kind::Tree, static_cast<int>(tree)});
}

void ModelWindow::TreeExpand(TreeId tree, TreeItemHandle item) {
  {
    std::lock_guard lock(mutex_);
    TreeOf(tree).Expand(item);
  }
  Notify({Kind::Tree, static_cast<int>(tree)});
}

void ModelWindow::TreeSelect(TreeId tree, TreeItemHandle item) {
  {
    std::lock_guard lock(mutex_);
    TreeOf(tree).Select(item);
  }
  Notify({Kind::Tree, static_cast<int>(tree)});
}

void ModelWindow::TreeSetCheck(TreeId tree, TreeItemHandle item, CheckState state) {
  {
    std::lock_guard lock(mutex_);
    TreeOf(tree).SetCheck(item, state);
  }
  Notify({Kind::Tree, static_cast<int>(tree)});
}

CheckState ModelWindow::TreeCheck(TreeId tree, TreeItemHandle item) {
  std::lock_guard lock(mutex_);
  return TreeOf(tree).Check(item);
}

std::string ModelWindow::TreeText(TreeId tree, TreeItemHandle item) {
  std::lock_guard lock(mutex_);
  return TreeOf(tree).Text(item);
}

TreeItemHandle ModelWindow::TreeParent(TreeId tree, TreeItemHandle item) {
  std::lock_guard lock(mutex_);
  return TreeOf(tree).Parent(item);
}

std::vector<TreeItemHandle> ModelWindow::TreeChildren(TreeId tree, TreeItemHandle item) {
  std::lock_guard lock(mutex_);
  return TreeOf(tree).Children(item);
}

TreeModel ModelWindow::Tree(TreeId tree) const {
  std::lock_guard lock(mutex_);
  return trees_[static_cast<int>(tree)];
}

}  // namespace vantrel

namespace vantrel {

void ModelWindow::Notify(const WindowChange& change) {
  OnChanged(change);
  pause_.WaitIfHeld();
}

}  // namespace vantrel
