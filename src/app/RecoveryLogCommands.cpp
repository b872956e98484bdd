#include "app/RecoveryLogCommands.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/CatalogueBuildCommands.h"
#include "app/ControlIds.h"
#include "app/FolderListing.h"
#include "app/FolderTree.h"
#include "app/PartitionList.h"
#include "app/WindowMessages.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "app/WizardViews.h"
#include "logs/RecoveryLogFile.h"
#include "logs/RecoveryLogFormat.h"
#include "recovery/CatalogueChoice.h"
#include "recovery/LoggedCatalogue.h"

namespace vantrel {

namespace {

namespace fs = std::filesystem;

constexpr const char* kEnumeratingText = "Enumerating Files/Directories ";

RecoveryLogHead HeadOf(const WizardState& state) {
  return {.diskModel = state.disks.selectedModel,
          .recoveryMode = static_cast<std::uint8_t>(state.recoveryMode),
          .fileSearchType = static_cast<std::uint16_t>(state.fileSearchKind),  // the numbers logs store
          .diskIndex = static_cast<std::uint8_t>(state.disks.currentIndex),
          .selected = {state.currentPartition.sizeSectors, state.currentPartition.partitionStartSector}};
}

std::vector<LoggedPartition> PartitionsOf(const WizardState& state) {
  std::vector<LoggedPartition> partitions;
  const PartitionTable& table = state.partitionTable;
  for (std::uint32_t i = 0; i < table.count && i < PartitionTable::kCapacity; ++i)
    partitions.push_back({table.records[i].size, table.records[i].start});
  return partitions;
}

// The disk whose model was compared with the log's is the one read: the selected disk,
// whatever number the disk had when the log was made.
std::uint16_t DiskToRead(const WizardState& state, std::uint8_t loggedIndex) {
  const auto selected = DiskNameTable::DiskNumber(state.disks.selectedLabel);
  if (selected && *selected < state.disks.names.Count()) return static_cast<std::uint16_t>(*selected);
  return loggedIndex;
}

void RestorePartitions(WizardState& state, const std::vector<LoggedPartition>& partitions) {
  state.partitionTable = PartitionTable{};
  for (const LoggedPartition& partition : partitions)
    if (!AddPartitionRecord(state, partition.start, partition.size)) {
      state.Window().ShowMessage(kPartitionTableFullMessage);
      break;
    }
}

int RecordOf(const PartitionTable& table, const LoggedPartition& partition) {
  for (std::uint32_t i = 0; i < table.count; ++i)
    if (table.records[i].start == partition.start && table.records[i].size == partition.size)
      return static_cast<int>(i);
  return -1;
}

void InstallCatalogue(WizardState& state, Catalogue loaded) {
  state.catalogue = LoadedCatalogue(std::move(loaded));
  state.marks.treeItemCount = 0;
}

// Changes the wizard from stage 0 or 1 to the loaded catalogue at stage 2.
void ApplyLog(WizardState& state, RecoveryLog log) {
  WindowPort& window = state.Window();
  const bool atStart = state.stage == WizardStage::DiskAndMode;
  ReplaceFolderTree(state);
  window.ShowControl(control::kFolderTree, false);
  if (atStart) {
    state.disks.currentIndex = DiskToRead(state, log.head.diskIndex);
    // The first step's controls leave with the disk tree: the catalogue takes their place.
    for (const int id : {control::kDiskTree, control::kSelectDiskGroup, control::kRecoveryModesGroup,
                         control::kQuickSearchMode, control::kAdvancedSearchMode, control::kRawRecoveryMode})
      window.ShowControl(id, false);
    for (const int id : {control::kQuickSearchMode, control::kAdvancedSearchMode, control::kRawRecoveryMode})
      window.EnableControl(id, false);
    ReplacePartitionTree(state);
  }
  ShowView(state, WizardView::BuildingCatalogue);

  // The decoder lets through only the numbers of the searches' modes.
  state.recoveryMode = static_cast<RecoveryMode>(log.head.recoveryMode);
  state.fileSearchKind = static_cast<FileSearchKind>(log.head.fileSearchType);
  state.currentPartition.partitionStartSector = log.head.selected.start;
  state.currentPartition.sizeSectors = log.head.selected.size;
  if (atStart) {
    RestorePartitions(state, log.partitions);
    state.stage = WizardStage::Partitions;
  }
  state.currentPartition.index = RecordOf(state.partitionTable, log.head.selected);

  // The file has been read whole already; what the reading showed is its last state.
  if (const std::size_t objects = log.catalogue.objectList.Size(); objects > 0) {
    WindowBuildStatus sink(window);
    BuildStatus status(sink);
    status.SetStatusCount(kEnumeratingText, objects - 1, objects);
    status.SetProgress(ProgressPercent(objects - 1, objects));
    status.Flush();
  }
  InstallCatalogue(state, std::move(log.catalogue));
  ShowCatalogue(state);
  state.stage = WizardStage::Catalogue;
  // As after a build, the list shows the root folder.
  ShowFolder(state, kRootFolderId);
  window.ShowControl(control::kBackButton, true);
  window.EnableControl(control::kBackButton, true);
}

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string RecoveryLogPath(const std::string& chosen) {
  const fs::path path(chosen);
  std::string name = path.filename().string();
  std::transform(name.begin(), name.end(), name.begin(), UpperAscii);
  if (name.size() < 3 || name.compare(name.size() - 3, 3, "SAV") != 0) name += ".SAV";
  return (path.parent_path() / name).string();
}

std::optional<std::string> SaveRecoveryLog(WizardState& state) {
  WindowPort& window = state.Window();
  // A log holds a partition's superblock and catalogue: there is none before a build.
  if (state.stage < WizardStage::Catalogue) {
    window.ShowMessage(kSaveLogNeedsCatalogue);
    return std::nullopt;
  }
  const std::string chosen = window.AskFilePath(FileDialogKind::Save, kRecoveryLogSaveFilter);
  if (chosen.empty()) return std::nullopt;
  return WriteRecoveryLog(state, RecoveryLogPath(chosen));
}

std::optional<std::string> WriteRecoveryLog(WizardState& state, const std::string& path) {
  WindowPort& window = state.Window();
  // The log is written as the catalogue is walked, on the thread that owns the catalogue,
  // rather than made whole in memory first.
  LogWriteResult result = LogWriteResult::CannotCreate;
  window.RunOnWindowThread([&] {
    result = WriteLoggedCatalogue(path, HeadOf(state), PartitionsOf(state), state.catalogue);
  });
  switch (result) {
    case LogWriteResult::Written:
      return path;
    case LogWriteResult::CannotCreate:
      window.SystemMessage(kUnableToOpenFile, SystemIcon::None);
      return std::nullopt;
    case LogWriteResult::WriteFailed:
      window.SystemMessage(kLogWriteFailed, SystemIcon::None);
      return std::nullopt;
  }
  return std::nullopt;
}

LogLoadOutcome LoadRecoveryLog(WizardState& state) {
  WindowPort& window = state.Window();
  if (state.recoveryMode == RecoveryMode::RawRecovery) {
    window.ShowMessage(kLogRawModeRefusal);
    return LogLoadOutcome::Refused;
  }
  // Loading over a shown catalogue would change the partition and the search type under
  // it; the catalogue is left first (Back).
  if (state.stage >= WizardStage::Catalogue) {
    window.ShowMessage(kLoadLogAtCatalogueRefusal);
    return LogLoadOutcome::Refused;
  }
  const std::string path = window.AskFilePath(FileDialogKind::Open, kRecoveryLogOpenFilter);
  if (path.empty()) return LogLoadOutcome::Cancelled;
  const auto bytes = ReadRecoveryLogFile(path);
  if (!bytes) {
    window.SystemMessage(kUnableToOpenFile, SystemIcon::Error);
    return LogLoadOutcome::Refused;
  }
  return LoadRecoveryLogBytes(state, std::as_bytes(std::span(bytes->data(), bytes->size())));
}

LogLoadOutcome LoadRecoveryLogBytes(WizardState& state, ByteSpan file) {
  WindowPort& window = state.Window();
  WindowMessages messages(window);
  auto log = DecodeLogForDisk(file, state.disks.selectedModel, messages);
  if (!log) return LogLoadOutcome::Refused;
  window.RunOnWindowThread([&] { ApplyLog(state, std::move(*log)); });
  return LogLoadOutcome::Loaded;
}

}  // namespace vantrel
