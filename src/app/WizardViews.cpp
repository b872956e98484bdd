#include "app/WizardViews.h"

#include <initializer_list>

#include "app/ControlIds.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"

namespace vantrel {

namespace {

using namespace control;

constexpr int kRawPanelPicture = 0;

class ViewEditor {
 public:
  explicit ViewEditor(WizardState& state) : state_(state), window_(state.Window()) {}

  void Show(std::initializer_list<int> ids) { Each(ids, [&](int id) { window_.ShowControl(id, true); }); }
  void Hide(std::initializer_list<int> ids) { Each(ids, [&](int id) { window_.ShowControl(id, false); }); }
  void Enable(std::initializer_list<int> ids) { Each(ids, [&](int id) { window_.EnableControl(id, true); }); }
  void Disable(std::initializer_list<int> ids) { Each(ids, [&](int id) { window_.EnableControl(id, false); }); }
  void Check(std::initializer_list<int> ids, bool checked) {
    Each(ids, [&](int id) { window_.SetChecked(id, checked); });
  }
  void Text(int id, const std::string& text) { window_.SetControlText(id, text); }
  void Picture(int picture) { ShowStepPicture(state_, picture); }
  void ClearList() { window_.ListRemoveAllRows(kDetailsList); }
  void DetailsColumn() {
    window_.ListRemoveAllColumns(kDetailsList);
    window_.ListInsertColumn(kDetailsList, {"Details", 500, ColumnAlignment::Left});
  }
  void CatalogueColumns() {
    window_.ListRemoveAllColumns(kDetailsList);
    for (const ListColumn& column : {ListColumn{"Name", 150}, ListColumn{"Type", 100},
                                     ListColumn{"Size", 70, ColumnAlignment::Right}, ListColumn{"Date", 100},
                                     ListColumn{"Time", 70}, ListColumn{"ID", 70}})
      window_.ListInsertColumn(kDetailsList, column);
  }
  bool Advanced() const { return state_.recoveryMode == 2; }
  bool PartitionTreeExists() { return window_.TreeRoot(TreeId::Partition) != kNoTreeItem; }

 private:
  template <typename Fn>
  void Each(std::initializer_list<int> ids, Fn fn) {
    for (const int id : ids) fn(id);
  }
  WizardState& state_;
  WindowPort& window_;
};

void ApplyView(WizardState& state, ViewEditor& v, int code) {
  switch (code) {
    case 0:
      v.Hide({kRecoveryModesGroup, kSelectDiskGroup});
      v.Picture(4);
      v.ClearList();
      v.Disable({kDiskTree, kNextButton});
      v.Hide({kQuickSearchMode, kAdvancedSearchMode, kRawRecoveryMode});
      v.Show({kStatusText});
      if (v.Advanced()) {
        v.Show({kStopButton, kSearchProgress});
        v.Text(kStatusText, "Searching Partitions");
      }
      state.CurrentDiskIndex = DiskIndexFromLabel(state.SelectedDiskText);
      break;
    case 1:
      v.Hide({kSearchMoreButton, kPartitionTypeGroup});
      v.Show({kRecoveryModesGroup});
      v.Picture(1);
      v.Show({kQuickSearchMode, kAdvancedSearchMode, kRawRecoveryMode});
      v.Check({kQuickSearchMode, kAdvancedSearchMode, kRawRecoveryMode}, false);
      v.Disable({kQuickSearchMode, kAdvancedSearchMode, kRawRecoveryMode});
      v.ClearList();
      v.Text(kFoundCount, "");
      v.Text(kStatusText, "");
      v.Show({kDiskTree, kSelectDiskGroup});
      v.Enable({kDiskTree, kSelectDiskGroup});
      v.Hide({kBackButton});
      v.Disable({kNextButton});
      v.Hide({kStopButton, kSearchProgress});
      if (v.PartitionTreeExists()) v.Hide({kPartitionTree});
      break;
    case 3:
      v.Hide({kRecoveryModesGroup});
      if (v.Advanced()) v.Picture(6);
      v.Hide({kDiskTree});
      v.Show({kPartitionTree});
      v.Enable({kPartitionTree});
      v.Text(kFoundCount, "");
      v.Text(kStatusText, "");
      v.Hide({kStopButton, kSearchProgress});
      v.Show({kBackButton});
      v.Enable({kBackButton});
      v.Disable({kNextButton});
      v.ClearList();
      v.Show({kSearchMoreButton});
      break;
    case 4:
      v.Picture(v.Advanced() ? 8 : 7);
      v.Disable({kPartitionTree, kBackButton, kNextButton});
      v.Hide({kSearchMoreButton});
      v.Disable({kMenuLoadLog, kLoadLogButton});
      break;
    case 5:
      v.Hide({kStopButton, kPartitionTree});
      v.Show({kFolderTree});
      v.Disable({kFolderTree});
      v.ClearList();
      v.CatalogueColumns();
      v.Text(kStatusText, "");
      break;
    case 6:
      v.Picture(9);
      v.Hide({kSearchProgress});
      state.Window().SetProgress(kSearchProgress, 0);
      v.Enable({kBackButton, kMenuSave, kMenuSaveSettings, kMenuSaveLog, kSaveLogButton, kMenuBrowse});
      v.Disable({kMenuLoadLog, kLoadLogButton});
      v.Enable({kMenuDirectoryView, kMenuDirectoryPrint, kMenuDirectoryEmail});
      v.Text(kStatusText, "");
      break;
    case 7:
      v.Picture(v.Advanced() ? 6 : 4);
      v.ClearList();
      v.Text(kStatusText, "");
      v.Show({kSearchMoreButton});
      v.DetailsColumn();
      v.Disable({kMenuSave, kMenuSaveSettings, kMenuSaveLog, kSaveLogButton, kMenuBrowse});
      v.Enable({kMenuLoadLog, kLoadLogButton});
      v.Disable({kMenuDirectoryView, kMenuDirectoryPrint, kMenuDirectoryEmail});
      break;
    case 8:
      v.Picture(kRawPanelPicture);
      v.Show({kRawFileTypesGroup, kRawMethodGroup, kRawReportGroup, kRawFileTypesList, kRawResultsList,
              kRawEntireDisk, kRawSectorRange, kRawStartLabel, kRawStartSector, kRawEndLabel, kRawEndSector,
              kRawStartButton, kRawStatus, kRawExactSizes});
      v.Hide({kPartitionTypeGroup, kDetailsList});
      v.Disable({kNextButton});
      v.Check({kRawEntireDisk}, true);
      for (std::size_t row = 0; row < 4; ++row) state.Window().ListSetRowChecked(kRawFileTypesList, row, false);
      state.Window().ListRemoveAllRows(kRawResultsList);
      v.Hide({kQuickSearchMode, kAdvancedSearchMode, kRawRecoveryMode, kRecoveryModesGroup, kDiskTree,
              kSelectDiskGroup});
      v.Show({kBackButton});
      v.Enable({kBackButton});
      break;
    case 88:
      v.Picture(1);
      v.Hide({kRawFileTypesGroup, kRawMethodGroup, kRawReportGroup, kRawFileTypesList, kRawResultsList,
              kRawEntireDisk, kRawSectorRange, kRawStartLabel, kRawStartSector, kRawEndLabel, kRawEndSector,
              kRawStartButton, kRawStatus, kRawExactSizes});
      // The first step again: the modes in their own group (the partition type group would
      // cover them).
      v.Show({kDetailsList});
      v.Disable({kNextButton});
      v.Show({kRecoveryModesGroup, kQuickSearchMode, kAdvancedSearchMode, kRawRecoveryMode, kDiskTree,
              kSelectDiskGroup});
      v.Hide({kBackButton});
      v.Disable({kBackButton});
      break;
    case 9:
      v.Disable({kPartitionTree, kSearchMoreButton, kBackButton, kNextButton});
      v.Show({kMoreSearchProgress});
      break;
    case 10:
      v.Enable({kPartitionTree, kSearchMoreButton, kBackButton});
      v.Hide({kMoreSearchProgress});
      break;
    default:
      break;
  }
}

bool IsView(int code) { return code == 0 || code == 1 || (code >= 3 && code <= 10) || code == 88; }

}  // namespace

std::uint16_t DiskIndexFromLabel(const std::string& label) {
  return static_cast<std::uint16_t>(DiskNameTable::DiskNumber(label).value_or(0));
}

std::string StepPictureFile(int picture, int recoveryMode) {
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
      if (recoveryMode == 1) return "step6_1.bmp";
      if (recoveryMode == 2) return "step7.bmp";
      return {};
    default: return {};
  }
}

void ShowStepPicture(WizardState& state, int picture) {
  const std::string file = StepPictureFile(picture, state.recoveryMode);
  if (file.empty()) return;
  state.Window().SetControlText(control::kStepPicture, state.programFolder + "/" + file);
}

void ShowView(WizardState& state, int code) {
  if (!IsView(code)) return;
  ViewEditor editor(state);
  ApplyView(state, editor, code);
  state.Window().ShowView(code);
}

}  // namespace vantrel
