#include "app/FolderTree.h"

#include <span>

#include "app/ControlIds.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "recovery/CatalogueChoice.h"
#include "reiserfs/catalogue/FolderLayout.h"
#include "reiserfs/catalogue/FolderWalk.h"

namespace vantrel {

void ReplaceFolderTree(WizardState& state) { state.Window().TreeReset(TreeId::Folder, kFolderTreeRootText); }

void AddFolderItems(WizardState& state, TreeItemHandle rootItem) {
  WindowPort& window = state.Window();
  Catalogue& catalogue = state.catalogue;
  auto& folders = catalogue.folderList;
  CatalogueMarks& marks = state.marks;
  marks.Clear();
  const FolderLayout layout = LayOutFolders(catalogue);
  const NameDecoder names = ShownNames(state.saving.options);
  if (catalogue.folderCount == 0) catalogue.folderCount = 1;

  // Every item starts unchecked, and is expanded once its sub-folders are in.
  const auto enter = [&](TreeItemHandle item) {
    window.SetProgress(control::kSearchProgress, ProgressPercent(marks.treeItemCount, catalogue.folderCount));
    window.TreeSetCheck(TreeId::Folder, item, CheckState::Unchecked);
  };
  using Children = std::span<const std::size_t>;
  enter(rootItem);
  WalkFoldersDepthFirst(
      rootItem, Children(layout.topLevel), [&](std::size_t entry) { return Children(layout.children[entry]); },
      [&](TreeItemHandle parent, std::size_t entry) -> std::optional<TreeItemHandle> {
        ++marks.treeItemCount;
        const TreeItemHandle item = window.TreeInsert(TreeId::Folder, parent, names.Decode(catalogue.Name(folders[entry])),
                                                      kFolderImage, kFolderSelectedImage);
        marks.SetItem(entry, item);
        enter(item);
        return item;
      },
      [&](TreeItemHandle item) { window.TreeExpand(TreeId::Folder, item); });
}

}  // namespace vantrel
