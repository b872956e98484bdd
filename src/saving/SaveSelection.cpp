#include "saving/SaveSelection.h"

#include <span>

#include "reiserfs/catalogue/FolderWalk.h"
#include "saving/SafeName.h"

namespace vantrel {

void SaveSelection::AddFolderWithEverythingBelow(const Catalogue& catalogue, const FolderLayout& layout,
                                                 const FolderIndex& index, std::size_t folderEntry,
                                                 const std::filesystem::path& folder) {
  static const FolderContents kEmpty;
  using Children = std::span<const std::size_t>;
  WalkFoldersDepthFirst(
      folder, Children(&folderEntry, 1), [&](std::size_t entry) { return Children(layout.children[entry]); },
      [&](const std::filesystem::path& parent, std::size_t entry) -> std::optional<std::filesystem::path> {
        std::filesystem::path path = parent / HoldableName(catalogue.Name(catalogue.folderList[entry]));
        ++folders;
        AddFolder(path, entry);
        const auto found = index.find(catalogue.folderList[entry].objectId);
        for (const std::size_t file : (found == index.end() ? kEmpty : found->second).files) AddFile(path, file);
        return path;
      });
}

std::uint32_t SaveSelection::FileCount() const {
  std::uint32_t count = 0;
  for (const SaveStep& step : steps) count += step.file != SaveStep::kNoFile;
  return count;
}

std::uint64_t SaveSelection::ByteCount(const Catalogue& catalogue) const {
  std::uint64_t bytes = 0;
  for (const SaveStep& step : steps)
    if (step.file != SaveStep::kNoFile && step.file < catalogue.fileList.size()) bytes += catalogue.fileList[step.file].size;
  return bytes;
}

}  // namespace vantrel
