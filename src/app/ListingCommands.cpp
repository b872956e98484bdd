#include "app/ListingCommands.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "app/FolderTree.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "reiserfs/catalogue/FolderWalk.h"

namespace vantrel {

namespace {

constexpr TreeId kTree = TreeId::Folder;

std::string PathOf(WindowPort& window, TreeItemHandle item) {
  const TreeItemHandle root = window.TreeRoot(kTree);
  if (item == root) return window.TreeText(kTree, root);
  std::vector<std::string> texts;
  for (TreeItemHandle at = item; at != kNoTreeItem && at != root; at = window.TreeParent(kTree, at))
    texts.push_back(window.TreeText(kTree, at));
  return ListingPath({texts.rbegin(), texts.rend()});
}

// The run's private folder, made once; a folder that has since gone or is no longer a
// folder of ours is made again.
std::string ExistingPrivateFolder(const WizardState& state);

std::string PrivateFolder(WizardState& state) {
  if (std::string folder = ExistingPrivateFolder(state); !folder.empty()) return folder;
  std::error_code error;
  const std::filesystem::path base = state.files.tempFolder.empty() ? std::filesystem::temp_directory_path(error)
                                                                    : std::filesystem::path(state.files.tempFolder);
  std::string pattern = (base / "vantrel-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return {};
  state.files.listingFolder = pattern;
  return pattern;
}

// The run's private folder when it is still there and ours, else empty.
std::string ExistingPrivateFolder(const WizardState& state) {
  struct stat info {};
  if (!state.files.listingFolder.empty() && ::lstat(state.files.listingFolder.c_str(), &info) == 0 &&
      S_ISDIR(info.st_mode) && info.st_uid == ::geteuid())
    return state.files.listingFolder;
  return {};
}

std::string JoinPrivate(WizardState& state, const char* name) {
  const std::string folder = PrivateFolder(state);
  return folder.empty() ? std::string() : (std::filesystem::path(folder) / name).string();
}

}  // namespace

std::string ListingLine(WindowPort& window, TreeItemHandle parent, TreeItemHandle child) {
  return ListingLine(PathOf(window, parent), window.TreeText(kTree, child));
}

void WriteListing(WindowPort& window, TreeItemHandle item, const std::string& separator, std::ostream& out) {
  WalkFoldersDepthFirst(
      item, window.TreeChildren(kTree, item), [&](TreeItemHandle child) { return window.TreeChildren(kTree, child); },
      [&](TreeItemHandle parent, TreeItemHandle child) -> std::optional<TreeItemHandle> {
        out << ListingLine(window, parent, child) << separator;
        return child;
      });
}

std::string ListingTextPath(WizardState& state) { return JoinPrivate(state, "TreeStructView.txt"); }

std::string ListingPrintPath(WizardState& state) { return JoinPrivate(state, "TreeStructPrint.dat"); }

void RemoveListingFolder(WizardState& state) {
  const std::string folder = ExistingPrivateFolder(state);
  state.files.listingFolder.clear();
  if (folder.empty()) return;
  std::error_code error;
  std::filesystem::remove_all(folder, error);
}

bool ListingAvailable(WizardState& state) {
  if (state.stage == WizardStage::Catalogue && state.Window().TreeRoot(kTree) != kNoTreeItem) return true;
  state.Window().ShowMessage(kListingNeedsCatalogue);
  return false;
}

bool WriteListingFile(WizardState& state, const std::string& path, const std::string& separator) {
  return WriteListingStream(path, [&](std::ostream& out) {
    WriteListing(state.Window(), state.Window().TreeRoot(kTree), separator, out);
  });
}

bool ViewListing(WizardState& state) {
  if (!ListingAvailable(state)) return false;
  const std::string path = ListingTextPath(state);
  if (!WriteListingFile(state, path, kTextSeparator)) return false;
  state.Window().OpenDocument(path);
  return true;
}

}  // namespace vantrel
