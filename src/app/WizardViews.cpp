#include "app/WizardViews.h"

#include <array>
#include <vector>

#include "app/ControlIds.h"
#include "app/DiskList.h"
#include "app/ValueFields.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"

namespace vantrel {

namespace {

using namespace control;

constexpr int kRawPanelPicture = 0;
constexpr int kKeepPicture = -1;

// What a view does to the details list, beside its controls.
enum class DetailsList {
  Kept,
  RowsCleared,
  DetailsColumn,     // rows cleared, the one "Details" column
  CatalogueColumns,  // rows cleared, the six columns of a folder's rows
};

// The commands the menu and the top buttons share are not a view's: app/CommandStates.h
// rules them from the step. One view's settings, applied in this order: hidden, shown, disabled, enabled, unchecked,
// checked, texts emptied, the details list, the step picture, then what the view does
// besides. No control is named twice in a view.
struct ViewSettings {
  WizardView view;
  int picture = kKeepPicture;          // in Quick Search and Raw Recovery
  int advancedPicture = kKeepPicture;  // in Advanced Search
  std::vector<int> hide{}, show{}, disable{}, enable{}, uncheck{}, check{};
  std::vector<int> emptyTexts{};
  DetailsList list = DetailsList::Kept;
  void (*besides)(WizardState&) = nullptr;
};

const std::vector<int> kModeButtons{kQuickSearchMode, kAdvancedSearchMode, kRawRecoveryMode};
const std::vector<int> kRawPanel{kRawFileTypesGroup, kRawMethodGroup,  kRawReportGroup, kRawFileTypesList,
                                 kRawResultsList,    kRawEntireDisk,   kRawSectorRange, kRawStartLabel,
                                 kRawStartSector,    kRawEndLabel,     kRawEndSector,   kRawStartButton,
                                 kRawStatus,         kRawExactSizes};
// The value fields of a catalogue, of a partition search and of the partition chosen: a view
// that leaves what they describe empties them, so that none shows a value of before.
const std::vector<int> kCatalogueValues{kFileSystemValue, kDirectoriesValue, kSearchModeValue};
const std::vector<int> kSearchValues{kBootSectorsValue, kRangeValue};

std::vector<int> Join(std::initializer_list<std::vector<int>> groups) {
  std::vector<int> ids;
  for (const auto& group : groups) ids.insert(ids.end(), group.begin(), group.end());
  return ids;
}

bool InAdvancedSearch(const WizardState& state) { return state.recoveryMode == RecoveryMode::AdvancedSearch; }

// A search of every sector shows its Stop button and bar; the disk searched is the one whose
// label was chosen.
void StartSearching(WizardState& state) {
  WindowPort& window = state.Window();
  if (InAdvancedSearch(state)) {
    window.ShowControl(kStopButton, true);
    window.ShowControl(kSearchProgress, true);
    window.SetControlText(kStatusText, "Searching Partitions");
  }
  state.disks.currentIndex = DiskIndexFromLabel(state.disks.selectedLabel);
  state.currentPartition = {};  // a partition of the search before is no choice of this one
}

void HideAnyPartitionTree(WizardState& state) {
  WindowPort& window = state.Window();
  if (window.TreeRoot(TreeId::Partition) != kNoTreeItem) window.ShowControl(kPartitionTree, false);
}

// The first step again: the disk still highlighted offers the modes, and the mode still
// chosen (the one the Selected Mode field names) is checked, with Next.
void OfferTheChosenDisk(WizardState& state) {
  HideAnyPartitionTree(state);
  if (state.disks.selectedLabel.empty()) return;
  WindowPort& window = state.Window();
  if (DiskNameTable::DiskNumber(state.disks.selectedLabel))
    ShowDiskDetails(state, DiskIndexFromLabel(state.disks.selectedLabel));
  for (const int id : kModeButtons) window.EnableControl(id, true);
  const int chosen = state.recoveryMode == RecoveryMode::QuickSearch      ? kQuickSearchMode
                     : state.recoveryMode == RecoveryMode::AdvancedSearch ? kAdvancedSearchMode
                     : state.recoveryMode == RecoveryMode::RawRecovery    ? kRawRecoveryMode
                                                                          : 0;
  if (chosen == 0) return;
  window.SetChecked(chosen, true);
  window.EnableControl(kNextButton, true);
}

// After a further search: the partition chosen before is still listed and chosen.
void OfferTheChosenPartition(WizardState& state) {
  if (state.currentPartition.index >= 0 && state.currentPartition.sizeSectors > 0)
    state.Window().EnableControl(kNextButton, true);
}

void EmptySearchBar(WizardState& state) { state.Window().SetProgress(kSearchProgress, 0); }

void ResetRawPanelLists(WizardState& state) {
  WindowPort& window = state.Window();
  for (std::size_t row = 0; row < 4; ++row) window.ListSetRowChecked(kRawFileTypesList, row, false);
  window.ListRemoveAllRows(kRawResultsList);
  ShowRawRange(state);
}

const std::vector<ViewSettings>& Views() {
  static const std::vector<ViewSettings> views{
      {.view = WizardView::SearchingPartitions,
       .picture = 4,
       .advancedPicture = 4,
       .hide = Join({{kRecoveryModesGroup, kSelectDiskGroup}, kModeButtons}),
       .show = {kStatusText},
       .disable = {kDiskTree, kNextButton},
       .emptyTexts = Join({kCatalogueValues, kSearchValues}),
       .list = DetailsList::RowsCleared,
       .besides = StartSearching},
      {.view = WizardView::FirstStep,
       .picture = 1,
       .advancedPicture = 1,
       .hide = {kSearchMoreButton, kPartitionTypeGroup, kBackButton, kStopButton, kSearchProgress},
       .show = Join({{kRecoveryModesGroup, kDiskTree, kSelectDiskGroup}, kModeButtons}),
       .disable = Join({kModeButtons, {kNextButton}}),
       .enable = {kDiskTree, kSelectDiskGroup},
       .uncheck = kModeButtons,
       .emptyTexts = Join({{kFoundCount, kStatusText}, kCatalogueValues, kSearchValues}),
       .list = DetailsList::RowsCleared,
       .besides = OfferTheChosenDisk},
      {.view = WizardView::PartitionList,
       .advancedPicture = 6,
       .hide = {kRecoveryModesGroup, kDiskTree, kStopButton, kSearchProgress},
       .show = {kPartitionTree, kBackButton, kSearchMoreButton},
       .disable = {kNextButton},
       .enable = {kPartitionTree, kBackButton},
       .emptyTexts = {kFoundCount, kStatusText},
       .list = DetailsList::RowsCleared},
      {.view = WizardView::BuildingCatalogue,
       .picture = 7,
       .advancedPicture = 8,
       .hide = {kSearchMoreButton},
       .disable = {kPartitionTree, kBackButton, kNextButton},
       .emptyTexts = kCatalogueValues},
      {.view = WizardView::CatalogueTree,
       .hide = {kStopButton, kPartitionTree},
       .show = {kFolderTree},
       .disable = {kFolderTree},
       .emptyTexts = {kStatusText},
       .list = DetailsList::CatalogueColumns},
      {.view = WizardView::CatalogueShown,
       .picture = 9,
       .advancedPicture = 9,
       .hide = {kSearchProgress},
       .enable = {kBackButton},
       .emptyTexts = {kStatusText},
       .besides = EmptySearchBar},
      {.view = WizardView::BackToPartitions,
       .picture = 4,
       .advancedPicture = 6,
       .show = {kSearchMoreButton},
       .emptyTexts = Join({{kStatusText}, kCatalogueValues}),
       .list = DetailsList::DetailsColumn},
      {.view = WizardView::RawRecoveryPanel,
       .picture = kRawPanelPicture,
       .advancedPicture = kRawPanelPicture,
       .hide = Join({{kPartitionTypeGroup, kDetailsList}, kModeButtons,
                     {kRecoveryModesGroup, kDiskTree, kSelectDiskGroup}}),
       .show = Join({kRawPanel, {kBackButton}}),
       .disable = {kNextButton},
       .enable = {kBackButton},
       .check = {kRawEntireDisk},
       .emptyTexts = Join({kCatalogueValues, {kBootSectorsValue}}),
       .besides = ResetRawPanelLists},
      // The first step again: the modes in their own group (the partition type group would
      // cover them).
      {.view = WizardView::RawRecoveryLeft,
       .picture = 1,
       .advancedPicture = 1,
       .hide = Join({kRawPanel, {kBackButton}}),
       .show = Join({{kDetailsList, kRecoveryModesGroup}, kModeButtons, {kDiskTree, kSelectDiskGroup}}),
       .disable = {kBackButton},
       .emptyTexts = {kRangeValue}},
      {.view = WizardView::MoreSearchRunning,
       .show = {kMoreSearchProgress},
       .disable = {kPartitionTree, kSearchMoreButton, kBackButton, kNextButton}},
      {.view = WizardView::MoreSearchDone,
       .hide = {kMoreSearchProgress},
       .enable = {kPartitionTree, kSearchMoreButton, kBackButton},
       .besides = OfferTheChosenPartition},
  };
  return views;
}

void ShowColumns(WindowPort& window, std::initializer_list<ListColumn> columns) {
  window.ListRemoveAllColumns(kDetailsList);
  for (const ListColumn& column : columns) window.ListInsertColumn(kDetailsList, column);
}

void ApplyDetailsList(WindowPort& window, DetailsList list) {
  if (list == DetailsList::Kept) return;
  window.ListRemoveAllRows(kDetailsList);
  if (list == DetailsList::DetailsColumn) ShowColumns(window, {{"Details", 500, ColumnAlignment::Left}});
  if (list == DetailsList::CatalogueColumns)
    ShowColumns(window, {{"Name", 150}, {"Type", 100}, {"Size", 70, ColumnAlignment::Right}, {"Date", 100},
                         {"Time", 70}, {"ID", 70}});
}

void ApplyView(WizardState& state, const ViewSettings& settings) {
  WindowPort& window = state.Window();
  for (const int id : settings.hide) window.ShowControl(id, false);
  for (const int id : settings.show) window.ShowControl(id, true);
  for (const int id : settings.disable) window.EnableControl(id, false);
  for (const int id : settings.enable) window.EnableControl(id, true);
  for (const int id : settings.uncheck) window.SetChecked(id, false);
  for (const int id : settings.check) window.SetChecked(id, true);
  for (const int id : settings.emptyTexts) window.SetControlText(id, "");
  ApplyDetailsList(window, settings.list);
  const int picture = InAdvancedSearch(state) ? settings.advancedPicture : settings.picture;
  if (picture != kKeepPicture) ShowStepPicture(state, picture);
  if (settings.besides) settings.besides(state);
}

}  // namespace

std::uint16_t DiskIndexFromLabel(const std::string& label) {
  return static_cast<std::uint16_t>(DiskNameTable::DiskNumber(label).value_or(0));
}

std::string StepPictureFile(int picture, RecoveryMode mode) {
  switch (picture) {
    case kRawPanelPicture: return "Step4_1.bmp";
    case 1: return "Step1.bmp";
    case 2: return "Step2.bmp";
    case 3: return "Step3.bmp";
    case 4:
    case 6: return "Step4.bmp";
    case 7: return "mount5.bmp";
    case 8: return "mount6.bmp";
    case 9:
      if (mode == RecoveryMode::QuickSearch) return "step6_1.bmp";
      if (mode == RecoveryMode::AdvancedSearch) return "step7.bmp";
      return {};
    default: return {};
  }
}

void ShowStepPicture(WizardState& state, int picture) {
  const std::string file = StepPictureFile(picture, state.recoveryMode);
  if (file.empty()) return;
  state.Window().SetControlText(control::kStepPicture, state.files.programFolder + "/" + file);
}

void ShowView(WizardState& state, WizardView view) {
  for (const ViewSettings& settings : Views()) {
    if (settings.view != view) continue;
    ApplyView(state, settings);
    state.Window().ShowView(view);
    return;
  }
}

}  // namespace vantrel
