#include "app/CatalogueBuildCommands.h"

#include "app/ControlIds.h"
#include "app/FolderListing.h"
#include "app/FolderTree.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "app/WizardViews.h"
#include "reiserfs/AdvancedCatalogueBuild.h"
#include "reiserfs/QuickCatalogueBuild.h"

namespace vantrel {

namespace {

constexpr int kStatusRowImage = 10;

using Build = Catalogue (*)(const PartitionSource&, const StopToken&, BuildStatusSink&);

// Frees the previous catalogue, shows (or hides) the progress bar, shows and enables "Stop
// Searching", clears StopRequested and sets up the status rows; then builds, and hands the
// catalogue to the wizard at the next stage.
void RunBuild(WizardState& state, Build build, bool showProgressBar, bool showHint) {
  state.catalogue.Clear();
  WindowPort& window = state.Window();
  window.ShowControl(control::kSearchProgress, showProgressBar);
  window.ShowControl(control::kStopButton, true);
  window.EnableControl(control::kStopButton, true);
  state.StopRequested.store(0);
  WindowBuildStatus status(window);
  status.SetUpRows();

  const DiskReader disk(state.reader, state.CurrentDiskIndex);
  const std::uint64_t start = state.currentPartition.partitionStartSector;
  const PartitionSource partition{disk, start, ReadPartitionSuperblock(disk, start)};
  state.catalogue = build(partition, StopToken(state.StopRequested), status);

  state.StopRequested.store(0);
  ShowCatalogue(state);
  ++state.wizardStage;
  ShowFolder(state, kRootFolderId);
  if (showHint) window.ShowMessage(kAdvanceSearchHint);
}

}  // namespace

void WindowBuildStatus::SetUpRows() {
  const int list = control::kDetailsList;
  window_.ListRemoveAllRows(list);
  window_.ListRemoveAllColumns(list);
  window_.ListInsertColumn(list, {"", 200});
  window_.ListInsertColumn(list, {"", 300});
  for (int i = 0; i < 4; ++i) window_.ListInsertColumn(list, {"", 0});
  for (const char* label : kStatusRowLabels) window_.ListInsertRow(list, label, kStatusRowImage);
}

void WindowBuildStatus::ShowRow(std::size_t row, const std::string& text) {
  window_.ListSetCell(control::kDetailsList, row, 1, text);
}

void WindowBuildStatus::ShowStatusText(const std::string& text) { window_.SetControlText(control::kStatusText, text); }

void WindowBuildStatus::ShowProgress(int position) { window_.SetProgress(control::kSearchProgress, position); }

void WindowBuildStatus::OnLostFolderPass() {
  window_.ShowControl(control::kSearchProgress, true);
  window_.SetControlText(control::kStatusText, kSearchingLostText);
  window_.ShowControl(control::kStopButton, false);
  window_.EnableControl(control::kStopButton, false);
  window_.SetControlText(control::kSearchProgress, "");
}

void QuickCatalogueBuild(WizardState& state) { RunBuild(state, BuildQuickCatalogue, false, true); }

void AdvancedCatalogueBuild(WizardState& state) { RunBuild(state, BuildAdvancedCatalogue, true, false); }

void ShowCatalogue(WizardState& state) {
  WindowPort& window = state.Window();
  ShowView(state, 5);
  AddFolderItems(state, window.TreeRoot(TreeId::Folder));
  window.EnableControl(control::kFolderTree, true);
  ShowView(state, 6);
}

}  // namespace vantrel
