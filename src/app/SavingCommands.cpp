#include "app/SavingCommands.h"

#include <unordered_map>

#include "app/ControlIds.h"
#include "app/FolderListing.h"
#include "app/RunSummaries.h"
#include "app/SavingProgress.h"
#include "app/WindowMessages.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "reiserfs/catalogue/FolderLayout.h"
#include "recovery/FolderSelection.h"
#include "reiserfs/catalogue/FolderWalk.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

constexpr TreeId kTree = TreeId::Folder;

// The catalogue's folders as the tree shows them, with the entry of each tree item.
struct ShownFolders {
  ShownFolders(const Catalogue& catalogue, const CatalogueMarks& marks)
      : layout(LayOutFolders(catalogue)), index(IndexFolders(catalogue, layout)) {
    for (std::size_t i = 0; i < catalogue.folderList.size(); ++i)
      if (marks.ItemOf(i) != kNoTreeItem) entryOfItem.emplace(marks.ItemOf(i), i);
  }
  const std::vector<std::size_t>& FilesOf(std::uint32_t key) const {
    static const std::vector<std::size_t> kNone;
    const auto found = index.find(key);
    return found == index.end() ? kNone : found->second.files;
  }
  std::optional<std::size_t> EntryOf(TreeItemHandle item) const {
    const auto found = entryOfItem.find(item);
    if (found == entryOfItem.end()) return std::nullopt;
    return found->second;
  }
  FolderLayout layout;
  FolderIndex index;
  std::unordered_map<TreeItemHandle, std::size_t> entryOfItem;
};

// The selection the count was made of, taken once; without a count, made now.
SaveSelection CountedOr(WizardState& state, SaveSelection (*make)(WizardState&)) {
  if (!state.saving.counted) return make(state);
  SaveSelection selection = std::move(*state.saving.counted);
  state.saving.counted.reset();
  return selection;
}

SaveSelection SelectionOfMode(WizardState& state) {
  return state.saving.mode == SaveMode::CheckedInTree ? SelectionFromTree(state) : SelectionFromList(state);
}

// Saves the selection through the saving step; false when the destination was refused (the
// user was told why).
bool Save(WizardState& state, const SaveSelection& selection, const char* invalidPath) {
  WindowPort& window = state.Window();
  // The bad-sector question and the saving's own ones keep one count of the time they took.
  QuestionTime& questions = state.disks.badSectorPrompt.Time();
  TimedSavePrompts prompts(window, questions);
  WindowSaveProgress progress(window, questions);
  WindowMessages messages(window);
  const SaveOutcome outcome = SaveSelectionOf(state.disks.CurrentChoice(),
                                              {.catalogue = state.catalogue,
                                               .partition = CurrentPartitionSource(state),
                                               .source = CurrentBodySource(state),
                                               .selection = selection,
                                               .filters = state.saving.options,
                                               .destination = state.destinationPath,
                                               .invalidPathText = invalidPath},
                                              messages, progress, prompts, state.saving.run);
  if (outcome.result.outcome != StepOutcome::Refused) return true;
  if (!outcome.result.text.empty()) window.SystemMessage(outcome.result.text, SystemIcon::Error);
  return false;
}

}  // namespace

PartitionSource CurrentPartitionSource(WizardState& state) {
  // File bodies are read through the catalogue's own journal state, not these options.
  return {state.disks.Current(), state.currentPartition.partitionStartSector, state.catalogue.currentSuperblock, {}};
}

BodySource CurrentBodySource(const WizardState& state) {
  return state.fileSearchKind == FileSearchKind::Advanced ? BodySource::Pieces : BodySource::Tree;
}

SaveSelection SelectionFromTree(WizardState& state) {
  WindowPort& window = state.Window();
  const Catalogue& catalogue = state.catalogue;
  const ShownFolders shown(catalogue, state.marks);
  SaveSelection selection;
  const auto addSelectedFiles = [&](const fs::path& folder, std::uint32_t key) {
    for (const std::size_t i : shown.FilesOf(key))
      if (state.marks.FileSelected(i)) selection.AddFile(folder, i);
  };
  const TreeItemHandle root = window.TreeRoot(kTree);
  if (root == kNoTreeItem || window.TreeCheck(kTree, root) == CheckState::Unchecked) return selection;
  // The root folder's own files go into the destination itself.
  ++selection.folders;
  addSelectedFiles({}, kRootFolderId);
  // A folder's own name (the tree may show it decoded); "Lost" has no entry.
  const auto folderName = [&](TreeItemHandle item) {
    const auto entry = shown.EntryOf(item);
    return entry ? std::string(catalogue.Name(catalogue.folderList[*entry])) : window.TreeText(kTree, item);
  };
  // Depth first in the tree's order; an unchecked folder is left out with everything below it.
  WalkFoldersDepthFirst(
      fs::path(), window.TreeChildren(kTree, root),
      [&](TreeItemHandle item) { return window.TreeChildren(kTree, item); },
      [&](const fs::path& parent, TreeItemHandle item) -> std::optional<fs::path> {
        if (window.TreeCheck(kTree, item) == CheckState::Unchecked) return std::nullopt;
        fs::path path = parent / HoldableName(folderName(item));
        ++selection.folders;
        selection.AddFolder(path);
        if (const auto entry = shown.EntryOf(item)) addSelectedFiles(path, catalogue.folderList[*entry].objectId);
        return path;
      });
  return selection;
}

SaveSelection SelectionFromList(WizardState& state) {
  WindowPort& window = state.Window();
  const Catalogue& catalogue = state.catalogue;
  const ShownFolders shown(catalogue, state.marks);
  SaveSelection selection;
  const std::size_t rows = std::min(window.ListRowCount(control::kDetailsList), state.shownFolder.entries.size());
  for (std::size_t row = 0; row < rows; ++row) {
    if (!PassesScope(state.saving.options, window.ListRowSelected(control::kDetailsList, row))) continue;
    const ListedRow& listed = state.shownFolder.entries[row];
    if (!listed.folder) {
      if (listed.index < catalogue.fileList.size()) selection.AddFile({}, listed.index);
      continue;
    }
    // The folder of this row with everything below it, whether checked or not.
    if (listed.index < catalogue.folderList.size())
      selection.AddFolderWithEverythingBelow(catalogue, shown.layout, shown.index, listed.index, {});
  }
  return selection;
}

void CountSelection(WizardState& state) {
  SavingRun& run = state.saving.run;
  run.totalFiles = 0;
  run.totalBytes = 0;
  run.bytesWritten = 0;
  WindowPort& window = state.Window();
  // Kept for the save that follows, so that the tree and the list are walked once.
  state.saving.counted = SelectionOfMode(state);
  for (const SaveStep& step : state.saving.counted->steps) {
    if (StopToken(run.requests).Requested()) break;
    if (step.file == SaveStep::kNoFile) continue;
    ++run.totalFiles;
    run.totalBytes += state.catalogue.fileList[step.file].size;
    window.SetControlText(control::kCountingTotalFiles, std::to_string(run.totalFiles));
  }
}

void RunSaving(WizardState& state) {
  state.saving.run.Reset();
  CountSelection(state);
  SaveCountedSelection(state);
}

void SaveCountedSelection(WizardState& state) {
  state.saving.run.replaceChoice = ReplaceAnswer::Yes;
  if (state.saving.mode == SaveMode::CheckedInTree)
    SaveCheckedFolders(state);
  else
    SaveListSelection(state);
  state.saving.run.requests.stop = 0;
}

void ReportSavingRun(WizardState& state) {
  const SavingRun& run = state.saving.run;
  WindowPort& window = state.Window();
  SavingEnd end;
  end.stopped = run.requests.abandon != 0;
  end.catalogueStopped = state.catalogue.stopped;
  if (run.filesSaved == 0 && !end.stopped) return;  // nothing was chosen: its own message said so
  if (end.stopped && run.filesSaved > 0) {
    const fs::path last = fs::path(window.ControlText(control::kSavingFilePath)) /
                          window.ControlText(control::kSavingFileName);
    std::error_code error;
    if (!fs::exists(last, error)) end.removedFile = last.string();
  }
  window.ShowMessage(SavingSummary(run, end));
}

void SaveCheckedFolders(WizardState& state) {
  const SaveSelection selection = CountedOr(state, SelectionFromTree);
  if (!Save(state, selection, kTreeSaveInvalidPath)) return;
  if (selection.folders == 0) state.Window().SystemMessage(kNoFolderSelected, SystemIcon::Error);
}

void SaveListSelection(WizardState& state) {
  const SaveSelection selection = CountedOr(state, SelectionFromList);
  Save(state, selection, kListSaveInvalidPath);
}

bool ViewFile(WizardState& state, const CatalogueEntry& file) {
  const fs::path folder = state.files.tempFolder.empty() ? fs::temp_directory_path() : fs::path(state.files.tempFolder);
  const auto path = WriteFileToOpen(CurrentPartitionSource(state), state.catalogue, CurrentBodySource(state), file,
                                    folder);
  if (!path) {
    state.Window().SystemMessage(kViewFileFailed, SystemIcon::Error);
    return false;
  }
  state.Window().OpenDocument(path->string());
  return true;
}

}  // namespace vantrel
