#include "app/CatalogueBrowsing.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "app/ControlIds.h"
#include "app/FolderListing.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "app/SavingCommands.h"

namespace vantrel {

namespace {

constexpr TreeId kTree = TreeId::Folder;

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

void ExpandDownTo(WindowPort& window, TreeItemHandle item) {
  for (TreeItemHandle at = item; at != kNoTreeItem; at = window.TreeParent(kTree, at)) window.TreeExpand(kTree, at);
}

}  // namespace

std::string ItemPath(WizardState& state, TreeItemHandle item) {
  WindowPort& window = state.Window();
  const TreeItemHandle root = window.TreeRoot(kTree);
  std::vector<std::string> parts;
  for (TreeItemHandle at = item; at != kNoTreeItem && at != root; at = window.TreeParent(kTree, at))
    parts.push_back(window.TreeText(kTree, at));
  std::string path;
  for (auto part = parts.rbegin(); part != parts.rend(); ++part) {
    if (!path.empty() && path.back() != '\\') path += '\\';
    path += *part;
  }
  return path;
}

std::uint32_t FolderKeyOfItem(const WizardState& state, TreeItemHandle item) {
  if (item == kNoTreeItem) return kRootFolderId;
  const auto& folders = state.catalogue.folderList;
  for (std::size_t i = 0; i < folders.size(); ++i)
    if (state.marks.ItemOf(i) == item) return folders[i].objectId;
  return kRootFolderId;
}

void ShowFolderOfItem(WizardState& state, TreeItemHandle item) {
  WindowPort& window = state.Window();
  window.ListRemoveAllRows(control::kDetailsList);
  const std::uint32_t key = FolderKeyOfItem(state, item);
  window.TreeSelect(kTree, item);
  window.SetControlText(control::kStatusText, "\\" + ItemPath(state, item));
  ShowFolder(state, key);
}

TreeItemHandle OpenCatalogueRow(WizardState& state, std::size_t row, bool upperCase,
                                const std::function<void(const CatalogueEntry&)>& viewFile) {
  WindowPort& window = state.Window();
  if (row >= window.ListRowCount(control::kDetailsList)) return kNoTreeItem;
  std::string type = window.ListCell(control::kDetailsList, row, kTypeColumn);
  if (upperCase)
    std::transform(type.begin(), type.end(), type.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  // The row's own entry, whatever its cells say: two names of one object (hard links) are
  // each opened as themselves, and a folder's ID is its object id, not its tree item.
  const bool listed = row < state.shownFolder.entries.size();
  const ListedRow entry = listed ? state.shownFolder.entries[row] : ListedRow{};
  if (EndsWith(type, "Folder") || EndsWith(type, "FOLDER")) {
    const bool known = listed && entry.folder && entry.index < state.catalogue.folderList.size();
    TreeItemHandle item = known ? state.marks.ItemOf(entry.index) : kNoTreeItem;
    // A row whose item the tree does not hold shows the root folder.
    if (FolderKeyOfItem(state, item) == kRootFolderId) item = window.TreeRoot(kTree);
    ShowFolderOfItem(state, item);
    ExpandDownTo(window, item);
    return item;
  }
  if (EndsWith(type, "File") || EndsWith(type, "FILE")) {
    const auto& files = state.catalogue.fileList;
    if (!listed || entry.folder || entry.index >= files.size()) {
      window.ShowMessage(kViewFileFailed);
      return kNoTreeItem;
    }
    viewFile(files[entry.index]);
  }
  return kNoTreeItem;
}

}  // namespace vantrel
