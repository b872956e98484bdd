#include "recovery/FolderSelection.h"

#include <filesystem>
#include <span>

#include "reiserfs/catalogue/FolderLayout.h"
#include "reiserfs/catalogue/FolderWalk.h"
#include "saving/SafeName.h"

namespace vantrel {

std::string NoSuchFolderText(const std::string& path) { return "there is no folder " + path + " in the catalogue"; }

Result<SaveSelection> SelectFoldersAtPaths(const Catalogue& catalogue, const std::vector<std::string>& paths) {
  const FolderLayout layout = LayOutFolders(catalogue);
  const FolderIndex index = IndexFolders(catalogue, layout);
  std::vector<bool> whole(catalogue.folderList.size()), above(catalogue.folderList.size());
  bool everything = paths.empty();
  for (const std::string& path : paths) {
    const auto folder = FolderAtPath(catalogue, layout, path);
    if (!folder) return Error{ErrorKind::NotFound, NoSuchFolderText(path), {}};
    if (!*folder) {
      everything = true;
      continue;
    }
    whole[**folder] = true;
    for (std::size_t at = layout.placedUnder[**folder]; at != kTopLevel; at = layout.placedUnder[at]) above[at] = true;
  }
  SaveSelection selection;
  ++selection.folders;  // the root, whose own files go into the destination itself
  if (everything) {
    if (const auto root = index.find(kRootFolderId); root != index.end())
      for (const std::size_t file : root->second.files) selection.AddFile({}, file);
  }
  // In the tree's order: a folder above one named is made, with none of its files.
  using Children = std::span<const std::size_t>;
  WalkFoldersDepthFirst(
      std::filesystem::path(), Children(layout.topLevel),
      [&](std::size_t entry) { return Children(layout.children[entry]); },
      [&](const std::filesystem::path& parent, std::size_t entry) -> std::optional<std::filesystem::path> {
        if (everything || whole[entry]) {
          selection.AddFolderWithEverythingBelow(catalogue, layout, index, entry, parent);
          return std::nullopt;
        }
        if (!above[entry]) return std::nullopt;
        std::filesystem::path path = parent / HoldableName(catalogue.Name(catalogue.folderList[entry]));
        ++selection.folders;
        selection.AddFolder(path, entry);
        return path;
      });
  return selection;
}

}  // namespace vantrel
