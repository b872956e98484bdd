#include "app/CatalogueBrowsing.h"

#include <algorithm>
#include <cctype>
#include <charconv>
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

std::uint64_t NumberOf(const std::string& text) {
  std::uint64_t value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
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
  const std::uint64_t id = NumberOf(window.ListCell(control::kDetailsList, row, kIdColumn));
  if (EndsWith(type, "Folder") || EndsWith(type, "FOLDER")) {
    TreeItemHandle item = static_cast<TreeItemHandle>(id);
    // A row whose item the tree does not hold shows the root folder.
    if (FolderKeyOfItem(state, item) == kRootFolderId) item = window.TreeRoot(kTree);
    ShowFolderOfItem(state, item);
    ExpandDownTo(window, item);
    return item;
  }
  if (EndsWith(type, "File") || EndsWith(type, "FILE")) {
    // The row's own entry: two names of one object (hard links) are each opened as themselves.
    const auto& files = state.catalogue.fileList;
    const bool listed = row < state.shownFolder.entries.size() && !state.shownFolder.entries[row].folder &&
                        state.shownFolder.entries[row].index < files.size() &&
                        files[state.shownFolder.entries[row].index].objectId == id;
    if (!listed) {
      window.ShowMessage(kViewFileFailed);
      return kNoTreeItem;
    }
    viewFile(files[state.shownFolder.entries[row].index]);
  }
  return kNoTreeItem;
}

}  // namespace vantrel
