#include "app/DirectoryListing.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "app/FolderTree.h"
#include "base/FdOutput.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "reiserfs/catalogue/FolderLayout.h"

namespace vantrel {

namespace {

constexpr TreeId kTree = TreeId::Folder;

// The texts of the folders from the top down to the parent itself, joined with "\\".
std::string JoinedPath(const std::vector<std::string>& fromTop) {
  std::string path;
  for (std::size_t i = 0; i < fromTop.size(); ++i) {
    path += fromTop[i];
    const bool isParentItself = i + 1 == fromTop.size();
    if (!isParentItself && (fromTop[i].empty() || fromTop[i].back() != '\\')) path += '\\';
  }
  return path;
}

std::string LineOf(std::string left, const std::string& child) {
  if (left.rfind("Partition", 0) == 0) left = "Root Directory ";
  return left + "-> " + child;
}

std::string PathOf(WindowPort& window, TreeItemHandle item) {
  const TreeItemHandle root = window.TreeRoot(kTree);
  if (item == root) return window.TreeText(kTree, root);
  std::vector<std::string> texts;
  for (TreeItemHandle at = item; at != kNoTreeItem && at != root; at = window.TreeParent(kTree, at))
    texts.push_back(window.TreeText(kTree, at));
  return JoinedPath({texts.rbegin(), texts.rend()});
}

// The run's private folder, made once; a folder that has since gone or is no longer a
// folder of ours is made again.
std::string PrivateFolder(WizardState& state) {
  struct stat info {};
  if (!state.files.listingFolder.empty() && ::lstat(state.files.listingFolder.c_str(), &info) == 0 &&
      S_ISDIR(info.st_mode) && info.st_uid == ::geteuid())
    return state.files.listingFolder;
  std::error_code error;
  const std::filesystem::path base = state.files.tempFolder.empty() ? std::filesystem::temp_directory_path(error)
                                                                    : std::filesystem::path(state.files.tempFolder);
  std::string pattern = (base / "vantrel-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return {};
  state.files.listingFolder = pattern;
  return pattern;
}

std::string JoinPrivate(WizardState& state, const char* name) {
  const std::string folder = PrivateFolder(state);
  return folder.empty() ? std::string() : (std::filesystem::path(folder) / name).string();
}

}  // namespace

std::string ListingLine(WindowPort& window, TreeItemHandle parent, TreeItemHandle child) {
  return LineOf(PathOf(window, parent), window.TreeText(kTree, child));
}

void WriteCatalogueListing(const Catalogue& catalogue, const std::string& separator, std::ostream& out) {
  const FolderLayout layout = LayOutFolders(catalogue.folderList);
  struct Pending {
    std::string parentPath;
    const std::vector<std::size_t>* children;
    std::vector<std::string> fromTop;
    std::size_t next;
  };
  std::vector<Pending> stack{{kFolderTreeRootText, &layout.topLevel, {}, 0}};
  while (!stack.empty()) {
    Pending& top = stack.back();
    if (top.next == top.children->size()) {
      stack.pop_back();
      continue;
    }
    const std::size_t child = (*top.children)[top.next++];
    const std::string name(catalogue.Name(catalogue.folderList[child]));
    out << LineOf(top.parentPath, name) << separator;
    std::vector<std::string> fromTop = top.fromTop;
    fromTop.push_back(name);
    std::string path = JoinedPath(fromTop);
    stack.push_back({std::move(path), &layout.children[child], std::move(fromTop), 0});
  }
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

std::string ListingTextPath(WizardState& state) { return JoinPrivate(state, "TreeStructView.txt"); }

std::string ListingPrintPath(WizardState& state) { return JoinPrivate(state, "TreeStructPrint.dat"); }

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

bool WriteListingStream(const std::string& path, const std::function<void(std::ostream&)>& write) {
  if (path.empty()) return false;
  ::unlink(path.c_str());
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  FdOutput out(fd);
  write(out);
  return out.Close();
}

bool WriteListingText(const std::string& path, const std::string& text) {
  return WriteListingStream(path, [&](std::ostream& out) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
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
