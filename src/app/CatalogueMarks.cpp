#include "app/CatalogueMarks.h"

namespace vantrel {

void CatalogueMarks::SetItem(std::size_t folder, TreeItemHandle item) {
  if (folder >= items_.size()) items_.resize(folder + 1, kNoTreeItem);
  items_[folder] = item;
}

void CatalogueMarks::Mark(std::vector<bool>& marks, std::size_t i, bool on) {
  if (i >= marks.size()) {
    if (!on) return;
    marks.resize(i + 1, false);
  }
  marks[i] = on;
}

void CatalogueMarks::Clear() {
  items_.clear();
  folderSelected_.clear();
  fileSelected_.clear();
}

}  // namespace vantrel
