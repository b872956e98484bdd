#include "app/FolderTree.h"

#include "app/ControlIds.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "reiserfs/build/BuildStatus.h"
#include "reiserfs/catalogue/FolderLayout.h"

namespace vantrel {

void ReplaceFolderTree(WizardState& state) { state.Window().TreeReset(TreeId::Folder, kFolderTreeRootText); }

void AddFolderItems(WizardState& state, TreeItemHandle rootItem) {
  WindowPort& window = state.Window();
  Catalogue& catalogue = state.catalogue;
  auto& folders = catalogue.folderList;
  CatalogueMarks& marks = state.marks;
  marks.Clear();
  const FolderLayout layout = LayOutFolders(folders);
  const NameDecoder names = ShownNames(state.saving.options);
  if (catalogue.folderCount == 0) catalogue.folderCount = 1;

  struct Pending {
    TreeItemHandle item;
    const std::vector<std::size_t>* children;
    std::size_t next;
  };
  std::vector<Pending> stack;
  const auto enter = [&](TreeItemHandle item, const std::vector<std::size_t>& children) {
    window.SetProgress(control::kSearchProgress, ProgressPercent(marks.treeItemCount, catalogue.folderCount));
    window.TreeSetCheck(TreeId::Folder, item, CheckState::Unchecked);
    stack.push_back({item, &children, 0});
  };

  enter(rootItem, layout.topLevel);
  while (!stack.empty()) {
    Pending& top = stack.back();
    if (top.next >= top.children->size()) {
      window.TreeExpand(TreeId::Folder, top.item);
      stack.pop_back();
      continue;
    }
    const std::size_t entry = (*top.children)[top.next++];
    ++marks.treeItemCount;
    const TreeItemHandle item =
        window.TreeInsert(TreeId::Folder, top.item, names.Decode(catalogue.Name(folders[entry])), kFolderImage,
                          kFolderSelectedImage);
    marks.SetItem(entry, item);
    enter(item, layout.children[entry]);
  }
}

}  // namespace vantrel
