#pragma once
// What the window keeps beside the catalogue: the folder tree's item showing each folder
// entry, and the entries checked for saving. Indexed like the catalogue's lists; an index
// never marked reads as no item and not checked.

#include <cstdint>
#include <vector>

#include "app/TreeModel.h"

namespace vantrel {

class CatalogueMarks {
 public:
  TreeItemHandle ItemOf(std::size_t folder) const { return folder < items_.size() ? items_[folder] : kNoTreeItem; }
  void SetItem(std::size_t folder, TreeItemHandle item);
  const std::vector<TreeItemHandle>& Items() const { return items_; }

  bool FolderSelected(std::size_t folder) const { return Marked(folderSelected_, folder); }
  bool FileSelected(std::size_t file) const { return Marked(fileSelected_, file); }
  void SelectFolder(std::size_t folder, bool selected) { Mark(folderSelected_, folder, selected); }
  void SelectFile(std::size_t file, bool selected) { Mark(fileSelected_, file, selected); }

  // A new catalogue: no items, nothing checked. The count of items inserted stays.
  void Clear();

  // Folder tree items inserted since start-up or the last recovery log load; the builds do
  // not reset it.
  std::uint32_t treeItemCount = 0;

 private:
  static bool Marked(const std::vector<bool>& marks, std::size_t i) { return i < marks.size() && marks[i]; }
  static void Mark(std::vector<bool>& marks, std::size_t i, bool on);

  std::vector<TreeItemHandle> items_;
  std::vector<bool> folderSelected_;
  std::vector<bool> fileSelected_;
};

}  // namespace vantrel
