#include "app/DirectoryListing.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "app/WindowPort.h"
#include "app/WizardState.h"

namespace vantrel {

namespace {

constexpr TreeId kTree = TreeId::Folder;

std::string PathOf(WindowPort& window, TreeItemHandle item) {
  const TreeItemHandle root = window.TreeRoot(kTree);
  if (item == root) return window.TreeText(kTree, root);
  std::vector<std::string> texts;
  for (TreeItemHandle at = item; at != kNoTreeItem && at != root; at = window.TreeParent(kTree, at))
    texts.push_back(window.TreeText(kTree, at));
  std::string path;
  for (auto it = texts.rbegin(); it != texts.rend(); ++it) {
    path += *it;
    const bool isParentItself = std::next(it) == texts.rend();
    if (!isParentItself && (it->empty() || it->back() != '\\')) path += '\\';
  }
  return path;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  return (std::filesystem::path(folder.empty() ? std::filesystem::temp_directory_path().string() : folder) / name)
      .string();
}

}  // namespace

std::string ListingLine(WindowPort& window, TreeItemHandle parent, TreeItemHandle child) {
  std::string left = PathOf(window, parent);
  if (left.rfind("Partition", 0) == 0) left = "Root Directory ";
  return left + "-> " + window.TreeText(kTree, child);
}

void WriteListing(WindowPort& window, TreeItemHandle item, const std::string& separator, std::ostream& out) {
  // Depth first without recursion, so that a very deep tree cannot exhaust the stack.
  struct Pending {
    TreeItemHandle parent;
    std::vector<TreeItemHandle> children;
    std::size_t next;
  };
  std::vector<Pending> stack{{item, window.TreeChildren(kTree, item), 0}};
  while (!stack.empty()) {
    Pending& top = stack.back();
    if (top.next == top.children.size()) {
      stack.pop_back();
      continue;
    }
    const TreeItemHandle child = top.children[top.next++];
    out << ListingLine(window, top.parent, child) << separator;
    stack.push_back({child, window.TreeChildren(kTree, child), 0});
  }
}

std::string ListingTextPath(const WizardState& state) { return JoinPath(state.tempFolder, "TreeStructView.txt"); }

std::string ListingPrintPath(const WizardState& state) { return JoinPath(state.tempFolder, "TreeStructPrint.dat"); }

bool ListingAvailable(WizardState& state) {
  if (state.wizardStage == 2 && state.Window().TreeRoot(kTree) != kNoTreeItem) return true;
  state.Window().ShowMessage(kListingNeedsCatalogue);
  return false;
}

bool WriteListingFile(WizardState& state, const std::string& path, const std::string& separator) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  WriteListing(state.Window(), state.Window().TreeRoot(kTree), separator, out);
  return static_cast<bool>(out.flush());
}

bool ViewListing(WizardState& state) {
  if (!ListingAvailable(state)) return false;
  const std::string path = ListingTextPath(state);
  if (!WriteListingFile(state, path, kTextSeparator)) return false;
  state.Window().OpenDocument(path);
  return true;
}

}  // namespace vantrel
