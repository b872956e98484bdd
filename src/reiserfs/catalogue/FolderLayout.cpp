#include "reiserfs/catalogue/FolderLayout.h"

#include <algorithm>
#include <span>
#include <string_view>
#include <unordered_map>

#include "reiserfs/catalogue/FolderWalk.h"

namespace vantrel {

namespace {

class Placer {
 public:
  Placer(const EntryList& folders, FolderLayout& layout) : folders_(folders), layout_(layout) {
    for (std::size_t i = 0; i < folders.size(); ++i) byFolder_[ShownIn(folders[i], layout)].push_back(i);
  }

  // Places below `under` (kTopLevel for the root) the unplaced folders shown in key, each
  // followed by its own subtree: depth first, in catalogue order.
  void PlaceChildren(std::size_t under, std::uint32_t key) {
    WalkFoldersDepthFirst(
        under, Candidates(key), [&](std::size_t entry) { return Candidates(folders_[entry].objectId); },
        [&](std::size_t parent, std::size_t entry) -> std::optional<std::size_t> {
          if (layout_.placed[entry] || IsLostFolder(folders_[entry])) return std::nullopt;
          Place(entry, parent);
          return entry;
        });
  }

  void Place(std::size_t entry, std::size_t under) {
    layout_.placed[entry] = true;
    layout_.placedUnder[entry] = under;
    (under == kTopLevel ? layout_.topLevel : layout_.children[under]).push_back(entry);
  }

 private:
  // The folders shown in key, in catalogue order.
  std::span<const std::size_t> Candidates(std::uint32_t key) const {
    const auto found = byFolder_.find(key);
    return found == byFolder_.end() ? std::span<const std::size_t>() : std::span<const std::size_t>(found->second);
  }

  const EntryList& folders_;
  FolderLayout& layout_;
  std::unordered_map<std::uint32_t, std::vector<std::size_t>> byFolder_;
};

// True when a file is shown in "Lost": its folder is "Lost" itself or not in the catalogue.
bool AnyFileLost(const EntryList& files, const FolderLayout& layout) {
  return std::any_of(files.begin(), files.end(), [&](const CatalogueEntry& file) {
    const std::uint32_t folder = ShownIn(file, layout);
    return folder == kLostFolderId || !layout.folderIds.contains(folder);
  });
}

// Takes the private folder out of the top level; it stays placed, with its subtree, so that
// none of it goes to "Lost".
void HidePrivateFolder(const Catalogue& catalogue, FolderLayout& layout) {
  auto& top = layout.topLevel;
  const auto found = std::find_if(top.begin(), top.end(), [&](std::size_t i) {
    return catalogue.Name(catalogue.folderList[i]) == kPrivateFolderName;
  });
  if (found == top.end()) return;
  layout.privateFolder = *found;
  top.erase(found);
  std::vector<std::size_t> pending{*layout.privateFolder};
  while (!pending.empty()) {
    const std::size_t entry = pending.back();
    pending.pop_back();
    layout.hiddenIds.insert(catalogue.folderList[entry].objectId);
    pending.insert(pending.end(), layout.children[entry].begin(), layout.children[entry].end());
  }
}

}  // namespace

bool IsHidden(const CatalogueEntry& entry, const FolderLayout& layout) {
  return !layout.hiddenIds.empty() && layout.hiddenIds.contains(ShownIn(entry, layout));
}

bool IsHiddenFolder(std::size_t folderEntry, const Catalogue& catalogue, const FolderLayout& layout) {
  return folderEntry == layout.privateFolder || IsHidden(catalogue.folderList[folderEntry], layout);
}

bool IsLostFolder(const CatalogueEntry& entry) { return entry.objectId == kLostFolderId && entry.parentId == 0; }

std::uint32_t ShownIn(const CatalogueEntry& entry, const FolderLayout& layout) {
  if (entry.folderId != 0 && layout.folderIds.contains(entry.folderId)) return entry.folderId;
  return entry.parentId;
}

FolderLayout LayOutFolders(const Catalogue& catalogue) {
  const EntryList& folders = catalogue.folderList;
  FolderLayout layout;
  layout.children.resize(folders.size());
  layout.placedUnder.assign(folders.size(), kTopLevel);
  layout.placed.assign(folders.size(), false);
  layout.folderIds.insert(kRootFolderId);
  for (const auto& folder : folders) layout.folderIds.insert(folder.objectId);
  Placer placer(folders, layout);
  placer.PlaceChildren(kTopLevel, kRootFolderId);
  HidePrivateFolder(catalogue, layout);

  for (std::size_t i = 0; i < folders.size(); ++i)
    if (IsLostFolder(folders[i])) {
      layout.lostFolder = i;
      break;
    }
  if (!layout.lostFolder) return layout;
  const std::size_t lost = *layout.lostFolder;
  placer.Place(lost, kTopLevel);
  placer.PlaceChildren(lost, kLostFolderId);
  for (std::size_t i = 0; i < folders.size(); ++i) {
    if (layout.placed[i] || IsLostFolder(folders[i])) continue;
    placer.Place(i, lost);
    placer.PlaceChildren(i, folders[i].objectId);
  }
  if (layout.children[lost].empty() && !AnyFileLost(catalogue.fileList, layout)) {
    // Nothing was lost: "Lost" is not shown (it was placed last at the top).
    layout.topLevel.pop_back();
    layout.placed[lost] = false;
    layout.lostFolder.reset();
  }
  return layout;
}

FolderContents ContentsOfFolder(const Catalogue& catalogue, const FolderLayout& layout, std::uint32_t key) {
  FolderContents contents;
  const bool lost = key == kLostFolderId && layout.lostFolder;
  if (lost) {
    contents.folders = layout.children[*layout.lostFolder];
  } else {
    for (std::size_t i = 0; i < catalogue.folderList.size(); ++i)
      if (ShownIn(catalogue.folderList[i], layout) == key && !IsLostFolder(catalogue.folderList[i]) &&
          i != layout.privateFolder)
        contents.folders.push_back(i);
  }
  for (std::size_t i = 0; i < catalogue.fileList.size(); ++i) {
    const std::uint32_t folder = ShownIn(catalogue.fileList[i], layout);
    if (folder == key || (lost && !layout.folderIds.contains(folder))) contents.files.push_back(i);
  }
  return contents;
}

FolderIndex IndexFolders(const Catalogue& catalogue, const FolderLayout& layout) {
  FolderIndex index;
  for (std::size_t i = 0; i < catalogue.folderList.size(); ++i)
    if (!IsLostFolder(catalogue.folderList[i]) && i != layout.privateFolder)
      index[ShownIn(catalogue.folderList[i], layout)].folders.push_back(i);
  if (layout.lostFolder) index[kLostFolderId].folders = layout.children[*layout.lostFolder];
  for (std::size_t i = 0; i < catalogue.fileList.size(); ++i) {
    std::uint32_t folder = ShownIn(catalogue.fileList[i], layout);
    if (layout.lostFolder && !layout.folderIds.contains(folder)) folder = kLostFolderId;
    index[folder].files.push_back(i);
  }
  return index;
}

std::optional<std::optional<std::size_t>> FolderAtPath(const Catalogue& catalogue, const FolderLayout& layout,
                                                       const std::string& path) {
  std::optional<std::size_t> folder;
  std::size_t begin = 0;
  while (begin <= path.size()) {
    const std::size_t end = std::min(path.find('/', begin), path.size());
    const std::string_view part(path.data() + begin, end - begin);
    begin = end + 1;
    if (part.empty()) continue;
    const auto& candidates = folder ? layout.children[*folder] : layout.topLevel;
    const auto found = std::find_if(candidates.begin(), candidates.end(),
                                    [&](std::size_t i) { return catalogue.Name(catalogue.folderList[i]) == part; });
    if (found == candidates.end()) return std::nullopt;
    folder = *found;
  }
  return folder;
}

CataloguePathFinder::CataloguePathFinder(const Catalogue& catalogue, const FolderLayout& layout)
    : catalogue_(catalogue), layout_(layout) {
  const auto& folders = catalogue.folderList;
  folderPaths_.resize(folders.size());
  // Depth first from the top, so that a parent's path is always made before its children's.
  std::vector<std::size_t> pending(layout.topLevel.rbegin(), layout.topLevel.rend());
  while (!pending.empty()) {
    const std::size_t entry = pending.back();
    pending.pop_back();
    const std::size_t under = layout.placedUnder[entry];
    const std::string_view name = catalogue.Name(folders[entry]);
    if (under == kTopLevel)
      folderPaths_[entry] = name;
    else
      (folderPaths_[entry] = folderPaths_[under]).append("/").append(name);
    pending.insert(pending.end(), layout.children[entry].rbegin(), layout.children[entry].rend());
  }
  for (std::size_t i = 0; i < folders.size(); ++i) firstFolder_.emplace(folders[i].objectId, i);
}

std::string CataloguePathFinder::FilePath(const CatalogueEntry& file) const {
  const std::uint32_t shownIn = ShownIn(file, layout_);
  const std::string_view name = catalogue_.Name(file);
  if (shownIn == kRootFolderId) return std::string(name);
  const auto folder = firstFolder_.find(shownIn);
  std::string path = folder != firstFolder_.end() && layout_.placed[folder->second] ? folderPaths_[folder->second]
                                                                                    : std::string(kLostFolderName);
  return path.append("/").append(name);
}

CataloguePaths PathsOf(const Catalogue& catalogue, const FolderLayout& layout) {
  const CataloguePathFinder finder(catalogue, layout);
  CataloguePaths paths;
  paths.folders = finder.FolderPaths();
  paths.files.reserve(catalogue.fileList.size());
  for (const auto& file : catalogue.fileList) paths.files.push_back(finder.FilePath(file));
  return paths;
}

}  // namespace vantrel
