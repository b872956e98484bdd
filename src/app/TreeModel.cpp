#include "app/TreeModel.h"

#include <algorithm>

namespace vantrel {

namespace {
const std::string kEmptyText;
const std::vector<TreeItemHandle> kNoChildren;
}  // namespace

TreeItemHandle TreeModel::Reset(std::string rootText, int image) {
  items_.assign(1, Item{});
  ++generation_;
  selected_ = kNoTreeItem;
  root_ = kNoTreeItem;
  root_ = InsertItem(kNoTreeItem, std::move(rootText), image, image);
  return root_;
}

TreeItemHandle TreeModel::InsertItem(TreeItemHandle parent, std::string text, int image,
                                     int selectedImage) {
  if (parent != kNoTreeItem && !Contains(parent)) return kNoTreeItem;
  const auto handle = static_cast<TreeItemHandle>(items_.size());
  Item item;
  item.text = std::move(text);
  item.parent = parent;
  item.image = image;
  item.selectedImage = selectedImage;
  item.live = true;
  items_.push_back(std::move(item));
  if (parent != kNoTreeItem) items_[parent].children.push_back(handle);
  return handle;
}

void TreeModel::DeleteItem(TreeItemHandle handle) {
  Item* item = Find(handle);
  if (item == nullptr) return;
  if (Item* parent = Find(item->parent)) std::erase(parent->children, handle);
  std::vector<TreeItemHandle> pending{handle};
  while (!pending.empty()) {
    const TreeItemHandle current = pending.back();
    pending.pop_back();
    Item& doomed = items_[current];
    pending.insert(pending.end(), doomed.children.begin(), doomed.children.end());
    doomed = Item{};
    if (selected_ == current) selected_ = kNoTreeItem;
    if (root_ == current) root_ = kNoTreeItem;
  }
}

void TreeModel::Expand(TreeItemHandle handle) {
  if (Item* item = Find(handle)) item->expanded = true;
}

void TreeModel::Select(TreeItemHandle handle) {
  if (Contains(handle)) selected_ = handle;
}

void TreeModel::SetCheck(TreeItemHandle handle, CheckState state) {
  if (Item* item = Find(handle)) item->check = state;
}

bool TreeModel::Contains(TreeItemHandle handle) const { return Find(handle) != nullptr; }

const std::string& TreeModel::Text(TreeItemHandle handle) const {
  const Item* item = Find(handle);
  return item ? item->text : kEmptyText;
}

TreeItemHandle TreeModel::Parent(TreeItemHandle handle) const {
  const Item* item = Find(handle);
  return item ? item->parent : kNoTreeItem;
}

const std::vector<TreeItemHandle>& TreeModel::Children(TreeItemHandle handle) const {
  const Item* item = Find(handle);
  return item ? item->children : kNoChildren;
}

bool TreeModel::IsExpanded(TreeItemHandle handle) const {
  const Item* item = Find(handle);
  return item && item->expanded;
}

CheckState TreeModel::Check(TreeItemHandle handle) const {
  const Item* item = Find(handle);
  return item ? item->check : CheckState::Unchecked;
}

int TreeModel::Image(TreeItemHandle handle) const {
  const Item* item = Find(handle);
  return item ? item->image : 0;
}

const TreeModel::Item* TreeModel::Find(TreeItemHandle handle) const {
  if (handle == kNoTreeItem || handle >= items_.size() || !items_[handle].live) return nullptr;
  return &items_[handle];
}

TreeModel::Item* TreeModel::Find(TreeItemHandle handle) {
  return const_cast<Item*>(static_cast<const TreeModel*>(this)->Find(handle));
}

}  // namespace vantrel
