#pragma once
// A Qt-free tree view model: items with text, images and a three-state check box,
// addressed by stable handles. The window renders it; the engines and the wizard edit it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

using TreeItemHandle = std::uint32_t;
inline constexpr TreeItemHandle kNoTreeItem = 0;

enum class CheckState : std::uint8_t { Unchecked, Checked, PartlyChecked };

class TreeModel {
 public:
  // Replaces the whole tree by a single root item and returns its handle.
  TreeItemHandle Reset(std::string rootText, int image = 0);

  TreeItemHandle Root() const { return root_; }
  // Counts the resets: handles start again from 1 after each, so a view that keeps items by
  // handle must start afresh when it changes.
  std::uint64_t Generation() const { return generation_; }
  TreeItemHandle InsertItem(TreeItemHandle parent, std::string text, int image, int selectedImage);
  // Removes the item and everything below it.
  void DeleteItem(TreeItemHandle item);
  void Expand(TreeItemHandle item);
  void Select(TreeItemHandle item);
  void SetCheck(TreeItemHandle item, CheckState state);

  bool Contains(TreeItemHandle item) const;
  const std::string& Text(TreeItemHandle item) const;
  TreeItemHandle Parent(TreeItemHandle item) const;
  const std::vector<TreeItemHandle>& Children(TreeItemHandle item) const;
  bool IsExpanded(TreeItemHandle item) const;
  CheckState Check(TreeItemHandle item) const;
  int Image(TreeItemHandle item) const;
  TreeItemHandle Selected() const { return selected_; }

 private:
  struct Item {
    std::string text;
    TreeItemHandle parent = kNoTreeItem;
    std::vector<TreeItemHandle> children;
    int image = 0;
    int selectedImage = 0;
    bool expanded = false;
    CheckState check = CheckState::Unchecked;
    bool live = false;
  };
  const Item* Find(TreeItemHandle item) const;
  Item* Find(TreeItemHandle item);

  std::vector<Item> items_{Item{}};  // index 0 is kNoTreeItem
  TreeItemHandle root_ = kNoTreeItem;
  TreeItemHandle selected_ = kNoTreeItem;
  std::uint64_t generation_ = 0;
};

}  // namespace vantrel
