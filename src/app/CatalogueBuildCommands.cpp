#include "app/CatalogueBuildCommands.h"

#include "app/ControlIds.h"
#include "app/FolderListing.h"
#include "app/FolderTree.h"
#include "app/RunSummaries.h"
#include "app/SettingsDialog.h"
#include "app/ValueFields.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "app/WizardViews.h"

namespace vantrel {

namespace {

constexpr int kStatusRowImage = 10;

}  // namespace

CatalogueBuildJob BeginCatalogueBuild(WizardState& state, bool advanced) {
  state.catalogue.Clear();
  WindowPort& window = state.Window();
  window.ShowControl(control::kSearchProgress, advanced);
  window.ShowControl(control::kStopButton, true);
  window.EnableControl(control::kStopButton, true);
  state.stopRequested.store(0);
  WindowBuildStatus(window).SetUpRows();
  return {state.disks.Current(), state.currentPartition.partitionStartSector, advanced, JournalOptionsOf(state.saving.options)};
}

void RunCatalogueBuild(WizardState& state, const CatalogueBuildJob& job) {
  WindowPort& window = state.Window();
  WindowBuildStatus status(window);
  const PartitionSource partition{job.disk, job.startSector, ReadPartitionSuperblock(job.disk, job.startSector),
                                  job.journal};
  const StopToken stop(state.stopRequested);
  Catalogue catalogue =
      BuildCatalogue(partition, job.advanced ? FileSearchKind::Advanced : FileSearchKind::Quick, stop, status);
  window.RunOnWindowThread([&] {
    state.catalogue = std::move(catalogue);
    state.stopRequested.store(0);
    ShowCatalogue(state);
    state.stage = StageAfter(state.stage);
    ShowFolder(state, kRootFolderId);
  });
  if (!job.advanced) window.ShowMessage(kAdvanceSearchHint);
}


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

void QuickCatalogueBuild(WizardState& state) { RunCatalogueBuild(state, BeginCatalogueBuild(state, false)); }

void AdvancedCatalogueBuild(WizardState& state) { RunCatalogueBuild(state, BeginCatalogueBuild(state, true)); }

void ShowCatalogue(WizardState& state) {
  WindowPort& window = state.Window();
  ShowView(state, WizardView::CatalogueTree);
  AddFolderItems(state, window.TreeRoot(TreeId::Folder));
  window.EnableControl(control::kFolderTree, true);
  ShowCatalogueValues(state);
  ShowView(state, WizardView::CatalogueShown);
  if (state.catalogue.stopped) window.SetControlText(control::kStatusText, kIncompleteCatalogue);
}

}  // namespace vantrel
