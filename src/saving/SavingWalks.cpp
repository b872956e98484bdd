#include "saving/SavingWalks.h"

#include <charconv>
#include <chrono>
#include <unordered_map>

#include "app/ControlIds.h"
#include "app/FolderListing.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "reiserfs/FolderLayout.h"
#include "saving/FileSaver.h"
#include "saving/SafeName.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

constexpr TreeId kTree = TreeId::Folder;

std::int64_t Now() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// The decimal number a list cell shows; 0 for anything else.
std::uint64_t NumberIn(const std::string& cell) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
  return error == std::errc{} ? value : 0;
}

bool Stopped(const WizardState& state) { return state.saving.saveStopRequested != 0; }

// The catalogue's folder rows by key and the key of each folder tree item.
struct CatalogueFolders {
  explicit CatalogueFolders(WizardState& state)
      : index(IndexFolders(state.catalogue, LayOutFolders(state.catalogue.folderList))) {
    for (const auto& folder : state.catalogue.folderList)
      if (folder.treeItem != kNoTreeItem) keyOfItem.emplace(folder.treeItem, folder.objectId);
  }
  // The key of a tree item: its folder entry's objectId; 0 when no entry shows it.
  std::uint32_t KeyOf(TreeItemHandle item) const {
    const auto found = keyOfItem.find(item);
    return found == keyOfItem.end() ? 0 : found->second;
  }
  const std::vector<std::size_t>& FilesOf(std::uint32_t key) const {
    static const std::vector<std::size_t> kNone;
    const auto found = index.find(key);
    return found == index.end() ? kNone : found->second.files;
  }
  FolderIndex index;
  std::unordered_map<TreeItemHandle, std::uint32_t> keyOfItem;
};

bool StartWalk(WizardState& state, const fs::path& folder, const char* invalidPath) {
  SavingRun& run = state.saving;
  run.saveStartTime = Now();
  run.foldersSaved = 0;
  run.filesSaved = 0;
  CreateFolders(folder);
  std::error_code error;
  if (fs::is_directory(folder, error)) return true;
  state.Window().SystemMessage(invalidPath, SystemIcon::Information);
  return false;
}

}  // namespace

void CreateFolders(const fs::path& path) {
  std::error_code ignored;
  fs::create_directories(path, ignored);
}

void CountSelection(WizardState& state) {
  SavingRun& run = state.saving;
  run.totalFiles = 0;
  run.totalBytes = 0;
  run.bytesWritten = 0;
  WindowPort& window = state.Window();
  const Catalogue& catalogue = state.catalogue;
  const auto count = [&](std::uint64_t size) {
    ++run.totalFiles;
    run.totalBytes += size;
    window.SetControlText(control::kCountingTotalFiles, std::to_string(run.totalFiles));
  };
  if (state.saveMode == 1) {
    for (const auto& file : catalogue.fileList)
      if (file.selected == 1) count(file.size);
    return;
  }
  const CatalogueFolders folders(state);
  const std::size_t rows = window.ListRowCount(control::kDetailsList);
  for (std::size_t row = 0; row < rows && !Stopped(state); ++row) {
    if (!PassesScope(state.savingOptions, window.ListRowSelected(control::kDetailsList, row))) continue;
    if (window.ListCell(control::kDetailsList, row, kTypeColumn) != kFolderTypeText) {
      count(NumberIn(window.ListCell(control::kDetailsList, row, kSizeColumn)));
      continue;
    }
    // Every file shown in the folder of this row or in any folder below it.
    std::vector<TreeItemHandle> pending{
        static_cast<TreeItemHandle>(NumberIn(window.ListCell(control::kDetailsList, row, kIdColumn)))};
    while (!pending.empty()) {
      const TreeItemHandle item = pending.back();
      pending.pop_back();
      for (const std::size_t i : folders.FilesOf(folders.KeyOf(item))) count(catalogue.fileList[i].size);
      const auto children = window.TreeChildren(kTree, item);
      pending.insert(pending.end(), children.begin(), children.end());
    }
  }
}

void RunSaving(WizardState& state) {
  state.saving.Reset();
  CountSelection(state);
  SaveCountedSelection(state);
}

void SaveCountedSelection(WizardState& state) {
  state.saving.replaceChoice = 0;
  if (state.saveMode == 1)
    SaveCheckedFolders(state);
  else
    SaveListSelection(state);
  state.saving.saveStopRequested = 0;
}

void SaveCheckedFolders(WizardState& state) {
  const fs::path destination(state.destinationPath);
  if (!StartWalk(state, destination, kTreeSaveInvalidPath)) return;
  SavingRun& run = state.saving;
  WindowPort& window = state.Window();
  const CatalogueFolders folders(state);
  FileSaver saver(state);
  const Catalogue& catalogue = state.catalogue;
  const auto saveSelectedFiles = [&](const fs::path& folder, std::uint32_t key) {
    for (const std::size_t i : folders.FilesOf(key)) {
      if (Stopped(state)) return;
      if (catalogue.fileList[i].selected == 1) saver.SaveFile(folder, catalogue.fileList[i]);
    }
  };

  const TreeItemHandle root = window.TreeRoot(kTree);
  if (root != kNoTreeItem && window.TreeCheck(kTree, root) != CheckState::Unchecked) {
    // The root folder's own files go into the destination itself.
    ++run.foldersSaved;
    saveSelectedFiles(destination, kRootFolderId);
    struct Pending {
      TreeItemHandle item;
      fs::path path;
    };
    std::vector<Pending> pending;
    const auto queueChildren = [&](TreeItemHandle item, const fs::path& path) {
      const auto children = window.TreeChildren(kTree, item);
      for (auto it = children.rbegin(); it != children.rend(); ++it)
        pending.push_back({*it, path / SafeName(window.TreeText(kTree, *it))});
    };
    queueChildren(root, destination);
    while (!pending.empty() && !Stopped(state)) {
      const Pending at = pending.back();
      pending.pop_back();
      if (window.TreeCheck(kTree, at.item) == CheckState::Unchecked) continue;
      ++run.foldersSaved;
      CreateFolders(at.path);
      saveSelectedFiles(at.path, folders.KeyOf(at.item));
      queueChildren(at.item, at.path);
    }
  }
  if (run.foldersSaved == 0) window.SystemMessage(kNoFolderSelected, SystemIcon::Error);
}

void SaveListSelection(WizardState& state) {
  const fs::path destination(state.destinationPath);
  if (!StartWalk(state, destination, kListSaveInvalidPath)) return;
  WindowPort& window = state.Window();
  const CatalogueFolders folders(state);
  FileSaver saver(state);
  const Catalogue& catalogue = state.catalogue;
  const std::size_t rows = window.ListRowCount(control::kDetailsList);
  for (std::size_t row = 0; row < rows && !Stopped(state); ++row) {
    if (!PassesScope(state.savingOptions, window.ListRowSelected(control::kDetailsList, row))) continue;
    const std::string id = window.ListCell(control::kDetailsList, row, kIdColumn);
    if (window.ListCell(control::kDetailsList, row, kTypeColumn) != kFolderTypeText) {
      const auto objectId = static_cast<std::uint32_t>(NumberIn(id));
      for (const auto& file : catalogue.fileList)
        if (file.objectId == objectId) {
          saver.SaveFile(destination, file);
          break;
        }
      continue;
    }
    // The folder of this row with everything below it, whether checked or not.
    const auto top = static_cast<TreeItemHandle>(NumberIn(id));
    struct Pending {
      TreeItemHandle item;
      fs::path path;
    };
    std::vector<Pending> pending{{top, destination / SafeName(window.TreeText(kTree, top))}};
    while (!pending.empty() && !Stopped(state)) {
      const Pending at = pending.back();
      pending.pop_back();
      CreateFolders(at.path);
      for (const std::size_t i : folders.FilesOf(folders.KeyOf(at.item))) {
        if (Stopped(state)) break;
        saver.SaveFile(at.path, catalogue.fileList[i]);
      }
      const auto children = window.TreeChildren(kTree, at.item);
      for (auto it = children.rbegin(); it != children.rend(); ++it)
        pending.push_back({*it, at.path / SafeName(window.TreeText(kTree, *it))});
    }
  }
}

}  // namespace vantrel
