#include "saving/SaveSelection.h"

#include "saving/SafeName.h"

namespace vantrel {

void SaveSelection::AddFolderWithEverythingBelow(const Catalogue& catalogue, const FolderLayout& layout,
                                                 const FolderIndex& index, std::size_t folderEntry,
                                                 const std::filesystem::path& folder) {
  struct Pending {
    std::size_t entry;
    std::filesystem::path path;
  };
  static const FolderContents kEmpty;
  std::vector<Pending> pending{{folderEntry, folder / HoldableName(catalogue.Name(catalogue.folderList[folderEntry]))}};
  while (!pending.empty()) {
    const Pending at = pending.back();
    pending.pop_back();
    ++folders;
    AddFolder(at.path);
    const auto found = index.find(catalogue.folderList[at.entry].objectId);
    for (const std::size_t file : (found == index.end() ? kEmpty : found->second).files) AddFile(at.path, file);
    const auto& children = layout.children[at.entry];
    for (auto it = children.rbegin(); it != children.rend(); ++it)
      pending.push_back({*it, at.path / HoldableName(catalogue.Name(catalogue.folderList[*it]))});
  }
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
