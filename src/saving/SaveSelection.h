#pragma once
// What a saving run copies, decided before it starts: an ordered list of folders to make
// below the destination and of catalogue files to write into them. An entry is named by
// its place in the catalogue, so that two names of one object (hard links) or objects of
// an older file system that reuse an id are each saved as themselves.

#include <cstdint>
#include <filesystem>
#include <vector>

#include "reiserfs/catalogue/Catalogue.h"
#include "reiserfs/catalogue/FolderLayout.h"

namespace vantrel {

struct SaveStep {
  static constexpr std::size_t kNoFile = static_cast<std::size_t>(-1);
  std::filesystem::path folder;  // relative to the destination; empty for the destination itself
  std::size_t file = kNoFile;    // index in the catalogue's fileList; kNoFile: only make the folder
  // The folder entry the folder is made for (index in folderList), for its owner, mode and
  // times; kNoFile when it has none.
  std::size_t folderEntry = kNoFile;
};

struct SaveSelection {
  std::vector<SaveStep> steps;
  std::uint32_t folders = 0;  // folders taken, the destination itself included when it gets files

  void AddFolder(const std::filesystem::path& folder, std::size_t entry = SaveStep::kNoFile) {
    steps.push_back({folder, SaveStep::kNoFile, entry});
  }
  void AddFile(const std::filesystem::path& folder, std::size_t file) { steps.push_back({folder, file}); }
  // The folder entry (below folder, under its name) with every folder and file shown
  // below it.
  void AddFolderWithEverythingBelow(const Catalogue& catalogue, const FolderLayout& layout, const FolderIndex& index,
                                    std::size_t folderEntry, const std::filesystem::path& folder);

  std::uint32_t FileCount() const;
  std::uint64_t ByteCount(const Catalogue& catalogue) const;
};

}  // namespace vantrel
