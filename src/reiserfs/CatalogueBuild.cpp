#include "reiserfs/CatalogueBuild.h"

#include <algorithm>
#include <array>
#include <unordered_set>

#include "app/ControlIds.h"
#include "app/FolderListing.h"
#include "app/FolderTree.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "app/WizardViews.h"
#include "reiserfs/ItemDispatch.h"

namespace vantrel {

namespace {

ReiserSuperblock ReadCurrentSuperblock(WizardState& state) {
  // Decoded whatever the read reports: a superblock that could not be read leaves a block
  // count or block size of 0, and then no block is read.
  std::array<std::byte, 2 * kSectorSize> buffer{};
  state.reader.ReadSectors(
      {state.CurrentDiskIndex, state.currentPartition.partitionStartSector + kSuperblockSectorOffset, 1, buffer});
  return ReiserSuperblock::Decode(buffer).value_or(ReiserSuperblock{});
}

}  // namespace

void BeginCatalogueBuild(WizardState& state, BuildStatus& status, bool showProgressBar) {
  Catalogue& catalogue = state.catalogue;
  catalogue.Clear();
  WindowPort& window = state.Window();
  window.ShowControl(control::kSearchProgress, showProgressBar);
  window.ShowControl(control::kStopButton, true);
  window.EnableControl(control::kStopButton, true);
  state.StopRequested.store(0);
  status.SetUpRows();
  AppendFolder(catalogue, kLostFolderName, kLostFolderId, 0, 0, 0, 0);
  catalogue.folderCount = 1;
  catalogue.currentSuperblock = ReadCurrentSuperblock(state);
}

void ConvertObject(WizardState& state, BuildStatus& status, const ObjectRecord& record) {
  Catalogue& catalogue = state.catalogue;
  if (record.mode & kFolderModeBit) {
    AppendFolder(catalogue, record.name, record.objectId, record.dirId, record.modificationTime, 0, 0).folderId =
        record.folderId;
    ++catalogue.folderCount;
    status.SetRow(StatusRow::FoldersFound, catalogue.folderCount);
    status.SetRow(StatusRow::LastFolder, record.name);
  } else {
    AppendFile(catalogue, record.name, record.objectId, record.dirId, record.modificationTime, record.size, 0)
        .folderId = record.folderId;
    ++catalogue.fileCount;
    status.SetRow(StatusRow::FilesFound, catalogue.fileCount);
    status.SetRow(StatusRow::LastFile, record.name);
  }
}

void LostFolderPass(WizardState& state, BuildStatus& status) {
  WindowPort& window = state.Window();
  status.Flush();
  window.ShowControl(control::kStopButton, false);
  window.EnableControl(control::kStopButton, false);
  window.SetControlText(control::kSearchProgress, "");
  Catalogue& catalogue = state.catalogue;
  std::unordered_set<std::uint32_t> folderIds;
  for (const auto& folder : catalogue.folderList) folderIds.insert(folder.objectId);
  std::uint32_t n = 0;
  for (auto& folder : catalogue.folderList) {
    if (folder.parentId == 0 || folder.parentId == kRootFolderId) continue;
    if (!folderIds.contains(folder.parentId)) folder.parentId = kLostFolderId;
    if (n > 0) {
      status.SetStatusCount("Searching Lost Directories ", n, catalogue.folderCount);
      status.SetProgress(ProgressPercent(n, catalogue.folderCount));
    }
    ++n;
  }
  status.Flush();
}

void ShowCatalogue(WizardState& state) {
  WindowPort& window = state.Window();
  ShowView(state, 5);
  AddFolderItems(state, window.TreeRoot(TreeId::Folder));
  window.EnableControl(control::kFolderTree, true);
  ShowView(state, 6);
}

void FinishCatalogueBuild(WizardState& state, BuildStatus& status, bool showHint) {
  WindowPort& window = state.Window();
  status.Flush();
  window.ShowControl(control::kSearchProgress, true);
  window.SetControlText(control::kStatusText, kSearchingLostText);
  LostFolderPass(state, status);
  state.StopRequested.store(0);
  ShowCatalogue(state);
  ++state.wizardStage;
  ShowFolder(state, kRootFolderId);
  if (showHint) window.ShowMessage(kAdvanceSearchHint);
}

}  // namespace vantrel
