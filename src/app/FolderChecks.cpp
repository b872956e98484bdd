#include "app/FolderChecks.h"

#include <unordered_map>

#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "reiserfs/catalogue/FolderLayout.h"

namespace vantrel {

namespace {

constexpr TreeId kTree = TreeId::Folder;

class CheckMarker {
 public:
  CheckMarker(WizardState& state, bool checking)
      : window_(state.Window()),
        catalogue_(state.catalogue),
        marks_(state.marks),
        index_(IndexFolders(catalogue_, LayOutFolders(catalogue_))),
        checking_(checking) {
    for (std::size_t i = 0; i < catalogue_.folderList.size(); ++i)
      if (marks_.ItemOf(i) != kNoTreeItem) keyOfItem_.emplace(marks_.ItemOf(i), catalogue_.folderList[i].objectId);
    keyOfItem_[window_.TreeRoot(kTree)] = kRootFolderId;
  }

  // The item and everything below it.
  void MarkSubtree(TreeItemHandle item) {
    std::vector<TreeItemHandle> pending{item};
    while (!pending.empty()) {
      const TreeItemHandle at = pending.back();
      pending.pop_back();
      window_.TreeSetCheck(kTree, at, checking_ ? CheckState::Checked : CheckState::Unchecked);
      MarkEntries(at);
      const auto children = window_.TreeChildren(kTree, at);
      pending.insert(pending.end(), children.rbegin(), children.rend());
    }
  }

  void UpdateAncestors(TreeItemHandle item) {
    const CheckState whole = checking_ ? CheckState::Checked : CheckState::Unchecked;
    for (TreeItemHandle at = window_.TreeParent(kTree, item); at != kNoTreeItem; at = window_.TreeParent(kTree, at)) {
      bool all = true;
      for (const TreeItemHandle child : window_.TreeChildren(kTree, at))
        if (window_.TreeCheck(kTree, child) != whole) {
          all = false;
          break;
        }
      window_.TreeSetCheck(kTree, at, all ? whole : CheckState::PartlyChecked);
    }
  }

 private:
  void MarkEntries(TreeItemHandle item) {
    const auto key = keyOfItem_.find(item);
    if (key == keyOfItem_.end()) return;
    const auto contents = index_.find(key->second);
    if (contents == index_.end()) return;
    for (const std::size_t i : contents->second.folders) marks_.SelectFolder(i, checking_);
    for (const std::size_t i : contents->second.files) marks_.SelectFile(i, checking_);
  }

  WindowPort& window_;
  const Catalogue& catalogue_;
  CatalogueMarks& marks_;
  FolderIndex index_;
  bool checking_;
  std::unordered_map<TreeItemHandle, std::uint32_t> keyOfItem_;
};

}  // namespace

void ToggleCheck(WizardState& state, TreeItemHandle item) {
  WindowPort& window = state.Window();
  const bool checking = window.TreeCheck(kTree, item) == CheckState::Unchecked;
  window.TreeSelect(kTree, item);
  CheckMarker marker(state, checking);
  marker.MarkSubtree(item);
  marker.UpdateAncestors(item);
}

}  // namespace vantrel
