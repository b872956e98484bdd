#pragma once
// Where each folder and file of the catalogue is shown. An entry is shown in the folder
// whose entry named it (its folderId) when that folder is in the catalogue, else in the
// folder of its parentId. The root folder's tree is laid out from key 2, depth first in
// catalogue order; "Lost" follows as a top-level folder holding the folders whose folder
// was not found and, after them, any folder that neither the root nor "Lost" reaches (a
// damaged tree whose links loop). Each folder entry is placed once, so damaged links can
// neither loop nor multiply the tree. Files are listed in the folder they are shown in;
// "Lost" also lists the files whose folder is not in the catalogue. Every catalogue holds
// a "Lost" entry (the recovery logs store it), but one that holds nothing is not placed:
// a sound volume shows no empty "Lost" folder. The file system's private folder (where it
// keeps extended attributes) is laid out with its subtree but not shown, as the kernel does
// not show it. Nothing in the catalogue is changed.

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "reiserfs/catalogue/Catalogue.h"

namespace vantrel {

inline constexpr std::size_t kTopLevel = static_cast<std::size_t>(-1);

struct FolderLayout {
  std::vector<std::size_t> topLevel;               // folder entries below the root, "Lost" last
  std::vector<std::vector<std::size_t>> children;  // per folder entry, the entries placed below it
  std::vector<std::size_t> placedUnder;            // per folder entry: its parent entry or kTopLevel
  std::vector<bool> placed;
  std::optional<std::size_t> lostFolder;           // the "Lost" entry, when it is placed
  std::unordered_set<std::uint32_t> folderIds;     // object ids of the folder entries, and 2
  // The private folder's entry, placed (its subtree below it) but in no folder's rows.
  std::optional<std::size_t> privateFolder;
  std::unordered_set<std::uint32_t> hiddenIds;  // the keys of the private folder and the folders below it
};

// The root's folder of that name holds the file system's private data.
inline constexpr const char* kPrivateFolderName = ".reiserfs_priv";

// The entry is shown in the private folder or a folder below it: it is not shown at all.
bool IsHidden(const CatalogueEntry& entry, const FolderLayout& layout);
// The folder entry is the private folder, or hidden.
bool IsHiddenFolder(std::size_t folderEntry, const Catalogue& catalogue, const FolderLayout& layout);

FolderLayout LayOutFolders(const Catalogue& catalogue);

// The "Lost" folder's own entry (placed or not).
bool IsLostFolder(const CatalogueEntry& entry);

// The folder entry at a "/"-separated path of folder names from the root, as the tree shows
// them; an empty optional inside for the root itself, nothing when there is no such folder.
std::optional<std::optional<std::size_t>> FolderAtPath(const Catalogue& catalogue, const FolderLayout& layout,
                                                       const std::string& path);

// The key of the folder an entry is shown in.
std::uint32_t ShownIn(const CatalogueEntry& entry, const FolderLayout& layout);

// The rows of the folder of key (2 for the root): folder and file entry indices, each in
// list order.
struct FolderContents {
  std::vector<std::size_t> folders;
  std::vector<std::size_t> files;
};
FolderContents ContentsOfFolder(const Catalogue& catalogue, const FolderLayout& layout, std::uint32_t key);

// Every folder's rows at once, by key (2 for the root, the "Lost" key for "Lost"), each
// as ContentsOfFolder gives them: for walks that visit many folders.
using FolderIndex = std::unordered_map<std::uint32_t, FolderContents>;
FolderIndex IndexFolders(const Catalogue& catalogue, const FolderLayout& layout);

// Paths from the root, joined with "/": a folder's from its placement, a file's from the
// first folder entry of the key it is shown in (files whose folder is missing lie in
// "Lost"). Entries under "Lost" begin "Lost/".
struct CataloguePaths {
  std::vector<std::string> folders;
  std::vector<std::string> files;
};
CataloguePaths PathsOf(const Catalogue& catalogue, const FolderLayout& layout);

// The same paths one file at a time, for walks that should not hold every file's path:
// the folders' paths are made at once, a file's when it is asked for.
class CataloguePathFinder {
 public:
  CataloguePathFinder(const Catalogue& catalogue, const FolderLayout& layout);
  const std::vector<std::string>& FolderPaths() const { return folderPaths_; }
  std::string FilePath(const CatalogueEntry& file) const;

 private:
  const Catalogue& catalogue_;
  const FolderLayout& layout_;
  std::vector<std::string> folderPaths_;
  std::unordered_map<std::uint32_t, std::size_t> firstFolder_;
};

}  // namespace vantrel
