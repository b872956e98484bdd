#include "reiserfs/catalogue/AttributeFiles.h"

namespace vantrel {

bool AttributeFolderFits(const CatalogueEntry& entry, std::uint32_t generation) {
  if (generation == entry.parentId) return true;
  return !IsDeviceKind(entry.Kind()) && generation == entry.details.rdev;
}

AttributeFiles::AttributeFiles(const Catalogue& catalogue, const FolderLayout& layout) {
  const auto& folders = catalogue.folderList;
  std::vector<std::size_t> holders;
  for (std::size_t i = 0; i < folders.size(); ++i)
    if (catalogue.Name(folders[i]) == kAttributesFolderName && layout.placed[i]) holders.push_back(i);
  if (holders.empty()) return;
  const FolderIndex index = IndexFolders(catalogue, layout);
  for (const std::size_t holder : holders)
    for (const std::size_t child : layout.children[holder]) {
      const auto owner = ParseAttributeFolderName(catalogue.Name(folders[child]));
      if (!owner) continue;
      Folder folder{owner->generation, {}};
      if (const auto found = index.find(folders[child].objectId); found != index.end())
        for (const std::size_t file : found->second.files) folder.files.push_back(static_cast<std::uint32_t>(file));
      byObject_[owner->objectId].push_back(std::move(folder));
    }
}

std::span<const std::uint32_t> AttributeFiles::Of(const CatalogueEntry& entry) const {
  const auto found = byObject_.find(entry.objectId);
  if (found == byObject_.end()) return {};
  for (const Folder& folder : found->second)
    if (AttributeFolderFits(entry, folder.generation)) return folder.files;
  return {};
}

}  // namespace vantrel
