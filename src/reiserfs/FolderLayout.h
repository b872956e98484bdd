#pragma once
// Where each folder and file of the catalogue is shown. The root folder's tree is laid
// out from parentId 2, depth first in catalogue order; "Lost" follows as a top-level
// folder holding the folders whose parent was not found and, after them, any folder that
// the root and "Lost" do not reach (a damaged tree whose parent links loop). Each folder
// entry is placed once, so damaged parent links can neither loop nor multiply the tree.
// Files are listed in every folder whose objectId is their parentId; "Lost" also lists the
// files whose parent folder is not in the catalogue. No parentId is changed.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "reiserfs/Catalogue.h"

namespace vantrel {

inline constexpr std::size_t kTopLevel = static_cast<std::size_t>(-1);

struct FolderLayout {
  std::vector<std::size_t> topLevel;               // folder entries below the root, "Lost" last
  std::vector<std::vector<std::size_t>> children;  // per folder entry, the entries placed below it
  std::vector<std::size_t> placedUnder;            // per folder entry: its parent entry or kTopLevel
  std::vector<bool> placed;
  std::optional<std::size_t> lostFolder;           // the "Lost" entry, when the catalogue has one
};

FolderLayout LayOutFolders(const std::vector<CatalogueEntry>& folders);

// The rows of the folder whose entries have parentId key: folder and file entry indices,
// each in list order.
struct FolderContents {
  std::vector<std::size_t> folders;
  std::vector<std::size_t> files;
};
FolderContents ContentsOfFolder(const Catalogue& catalogue, const FolderLayout& layout, std::uint32_t key);

// Paths from the root, joined with "/": a folder's from its placement, a file's from the
// first folder entry whose objectId is its parentId (files whose parent folder is missing
// lie in "Lost"). Entries under "Lost" begin "Lost/".
struct CataloguePaths {
  std::vector<std::string> folders;
  std::vector<std::string> files;
};
CataloguePaths PathsOf(const Catalogue& catalogue, const FolderLayout& layout);

}  // namespace vantrel
