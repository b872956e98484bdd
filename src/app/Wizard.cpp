#include "app/Wizard.h"

#include <filesystem>

#include "app/ActivityLog.h"
#include "app/CatalogueBrowsing.h"
#include "app/CatalogueBuildCommands.h"
#include "app/CommandStates.h"
#include "app/ControlIds.h"
#include "app/DiskList.h"
#include "app/FolderChecks.h"
#include "app/FolderListing.h"
#include "app/FolderTree.h"
#include "app/ListingCommands.h"
#include "app/PartitionList.h"
#include "app/PartitionSearchCommands.h"
#include "app/RawRecoveryPanel.h"
#include "app/RecoveryLogWorkers.h"
#include "app/RunSummaries.h"
#include "app/SavingCommands.h"
#include "app/SavingProgress.h"
#include "app/ValueFields.h"
#include "app/WindowPort.h"
#include "app/WizardDialogs.h"
#include "app/WizardState.h"
#include "app/WizardViews.h"
#include "app/WorkerPause.h"
#include "base/OutOfMemory.h"
#include "recovery/SaveFolders.h"

namespace vantrel {

using namespace control;

namespace {

constexpr int kModeButtons[] = {kQuickSearchMode, kAdvancedSearchMode, kRawRecoveryMode};
constexpr int kRawPanelControls[] = {kRawFileTypesGroup, kRawMethodGroup, kRawReportGroup, kRawFileTypesList,
                                     kRawResultsList,    kRawEntireDisk,  kRawSectorRange, kRawStartLabel,
                                     kRawStartSector,    kRawEndLabel,    kRawEndSector,   kRawStartButton,
                                     kRawStatus,         kRawProgress,    kRawExactSizes};

const char* ModeLogText(RecoveryMode mode) {
  switch (mode) {
    case RecoveryMode::QuickSearch: return "QUICK";
    case RecoveryMode::AdvancedSearch: return "Advance";
    case RecoveryMode::RawRecovery: return "Raw";
    case RecoveryMode::None: return "";
  }
  return "";
}

// The mode buttons in the order of the modes they choose.
RecoveryMode ModeOfButton(int button) {
  switch (button) {
    case kQuickSearchMode: return RecoveryMode::QuickSearch;
    case kAdvancedSearchMode: return RecoveryMode::AdvancedSearch;
    case kRawRecoveryMode: return RecoveryMode::RawRecovery;
    default: return RecoveryMode::None;
  }
}

}  // namespace

Wizard::Wizard(WizardState& state, WizardDialogs& dialogs, WorkerPause& pause)
    : state_(state), dialogs_(dialogs), pause_(pause) {
  workers_.SetOutOfMemoryHandler([this](Worker slot) { AfterOutOfMemory(slot); });
}

WizardStage Wizard::Stage() const { return state_.stage; }

void Wizard::Log(const std::string& text) { AppendActivityLog(state_.files.activityLogPath, text); }

void Wizard::Initialise(const std::string& languageSetting) {
  WindowPort& window = state_.Window();
  state_.files.activityLogPath = ActivityLogPath(state_.files.programFolder);
  Log("\r\n");
  window.SetControlText(kLogFolderEdit, state_.files.tempFolder);
  window.ShowControl(kLogFolderEdit, false);
  window.ListRemoveAllColumns(kDetailsList);
  window.ListInsertColumn(kDetailsList, {"Details", 500});
  SetUpRawRecoveryLists(window);
  window.SetChecked(kMenuBalloonHelp, state_.balloonHelp != 0);
  for (const int id : kRawPanelControls) window.ShowControl(id, false);
  window.SetChecked(kRawExactSizes, state_.rawRecovery.exactSizes);
  for (const int id : {kMoreSearchProgress, kPartitionTree, kFolderTree}) window.ShowControl(id, false);
  state_.files.languageFileName = ChooseLanguageFile(languageSetting);
  language_.Load(state_.files.programFolder + "/" + LanguageFileOnDisk(state_.files.languageFileName));
  state_.stage = WizardStage::DiskAndMode;
  // The first screen is the one that Back to the first step shows.
  ShowView(state_, WizardView::FirstStep);
}

void Wizard::ClickDiskItem(TreeItemHandle item) {
  if (Stage() != WizardStage::DiskAndMode || Busy()) return;
  WindowPort& window = state_.Window();
  const std::string label = window.TreeText(TreeId::Disk, item);
  if (label.empty() || label == "My Computer") return;
  window.TreeSelect(TreeId::Disk, item);
  state_.disks.selectedLabel = label;
  if (label != "File Systems") ShowDiskDetails(state_, DiskIndexFromLabel(label));
  ShowSelectedDisk(state_);
  for (const int id : kModeButtons) window.EnableControl(id, true);
  ShowStepPicture(state_, 2);
}

void Wizard::SelectMode(int button, bool showPicture) {
  WindowPort& window = state_.Window();
  state_.recoveryMode = ModeOfButton(button);
  for (const int id : kModeButtons) window.SetChecked(id, id == button);
  ShowSelectedMode(state_);
  window.EnableControl(kNextButton, true);
  if (showPicture) ShowStepPicture(state_, 3);
}

std::string Wizard::HoverMode(int button) {
  // Only the first step offers the modes, once a disk is chosen.
  if (Stage() != WizardStage::DiskAndMode || Busy() || state_.disks.selectedLabel.empty()) return {};
  SelectMode(button, false);
  if (!state_.balloonHelp) return {};
  return language_.ModeDescription(state_.recoveryMode);
}

void Wizard::ClickMode(int button) {
  if (Stage() == WizardStage::DiskAndMode && !Busy() && !state_.disks.selectedLabel.empty()) SelectMode(button, true);
}

void Wizard::Next() {
  // A running worker owns the stage (a file being opened from the list still reads the
  // partition and the catalogue).
  if (Busy()) return;
  if (Stage() == WizardStage::DiskAndMode)
    NextFromDiskStage();
  else if (Stage() == WizardStage::Partitions)
    NextFromPartitionStage();
}

void Wizard::NextFromDiskStage() {
  WindowPort& window = state_.Window();
  const RecoveryMode mode = state_.recoveryMode;
  if (mode == RecoveryMode::None) return;
  Log("\r\nSelected Disk : " + state_.disks.selectedModel + "\r\nSelected Mode : " + ModeLogText(mode));
  window.EnableControl(kRawStartButton, mode == RecoveryMode::RawRecovery);
  if (mode != RecoveryMode::RawRecovery) ShowView(state_, WizardView::SearchingPartitions);
  if (mode == RecoveryMode::QuickSearch) {
    ReplacePartitionTree(state_);
    QuickSearch(state_);
    Log("\r\nTotal Partitions Found : " + std::to_string(state_.partitionTable.count));
    ShowPartitionsFound(state_);
    ShowView(state_, WizardView::PartitionList);
    state_.stage = WizardStage::Partitions;
  } else if (mode == RecoveryMode::AdvancedSearch) {
    ReplacePartitionTree(state_);
    window.EnableControl(kPartitionTree, false);
    window.EnableControl(kStopButton, true);
    workers_.Empty(Worker::Catalogue);
    workers_.Start(Worker::PartitionSearch,
                   [this, disk = state_.disks.CurrentChoice()] { AdvancedSearchOn(state_, disk); });
  } else {
    workers_.Empty(Worker::Catalogue);
    workers_.Empty(Worker::PartitionSearch);
    // Raw recovery reads the disk chosen at this step, as the searches do.
    state_.disks.currentIndex = DiskIndexFromLabel(state_.disks.selectedLabel);
    ShowView(state_, WizardView::RawRecoveryPanel);
    state_.stage = WizardStage::Partitions;
  }
}

void Wizard::NextFromPartitionStage() {
  const auto kind = dialogs_.AskFileSearchKind();
  if (!kind) return;
  state_.fileSearchKind = *kind;
  if (*kind == FileSearchKind::Quick && state_.recoveryMode == RecoveryMode::RawRecovery) return;
  WindowPort& window = state_.Window();
  window.EnableControl(kRawStartButton, false);
  browse_.End();  // a new catalogue replaces the one served
  ReplaceFolderTree(state_);
  window.ShowControl(kFolderTree, false);
  ShowView(state_, WizardView::BuildingCatalogue);
  workers_.Empty(Worker::PartitionSearch);
  if (workers_.IsRunning(Worker::Catalogue)) return;
  workers_.Start(Worker::Catalogue, [this, job = BeginCatalogueBuild(state_, *kind != FileSearchKind::Quick)] {
    RunCatalogueBuild(state_, job);
  });
}

void Wizard::Back() {
  if (Busy()) return;  // a worker may read the catalogue Back frees, or change the stage
  WindowPort& window = state_.Window();
  window.EnableControl(kRawStartButton, false);
  if (Stage() == WizardStage::Partitions) {
    state_.stage = WizardStage::DiskAndMode;
    ShowView(state_, WizardView::FirstStep);
    if (state_.recoveryMode == RecoveryMode::RawRecovery) ShowView(state_, WizardView::RawRecoveryLeft);
  } else if (Stage() == WizardStage::Catalogue) {
    ReturnToPartitions();
  }
}

void Wizard::ReturnToPartitions() {
  WindowPort& window = state_.Window();
  browse_.End();
  state_.catalogue.Clear();
  state_.stage = WizardStage::Partitions;
  window.ShowControl(kFolderTree, false);
  window.ShowControl(kPartitionTree, true);
  window.EnableControl(kPartitionTree, true);
  ShowView(state_, WizardView::BackToPartitions);
}

void Wizard::AfterOutOfMemory(Worker slot) {
  WindowPort& window = state_.Window();
  window.SystemMessage(kOutOfMemory, SystemIcon::Error);
  // What the run had begun is undone; a file it was writing is already gone.
  window.RunOnWindowThread([this, slot] {
    switch (slot) {
      case Worker::Catalogue:
        // The build's Stop button and bar go with it; its catalogue was never handed over.
        state_.Window().ShowControl(kStopButton, false);
        state_.Window().ShowControl(kSearchProgress, false);
        ReturnToPartitions();
        break;
      case Worker::PartitionSearch:
        // As a search that found nothing: the first step again.
        state_.stopRequested.store(0);
        ShowView(state_, WizardView::FirstStep);
        break;
      case Worker::MoreSearch: ShowView(state_, WizardView::MoreSearchDone); break;
      case Worker::Raw: LeaveRawPanelIdle(state_); break;
      case Worker::LogLoad: LeaveLoadUndone(state_); break;
      default: break;
    }
  });
}

void Wizard::ClickPartitionItem(TreeItemHandle item) {
  if (Stage() != WizardStage::Partitions || Busy()) return;
  SelectPartitionItem(state_, item);
  ShowPartitionRange(state_);
}

void Wizard::ClickFolderItem(TreeItemHandle item) {
  if (Stage() == WizardStage::Catalogue) ShowFolderOfItem(state_, item);
}

void Wizard::ClickFolderCheck(TreeItemHandle item) {
  state_.Window().TreeSelect(TreeId::Folder, item);
  ToggleCheck(state_, item);
}

void Wizard::OpenListRow(std::size_t row, bool upperCase) {
  if (Stage() != WizardStage::Catalogue) return;
  // A large file takes a while to write: the window goes on answering meanwhile. One file is
  // opened at a time.
  OpenCatalogueRow(state_, row, upperCase, [this](const CatalogueEntry& file) {
    if (Busy()) return;
    workers_.Start(Worker::Viewing, [this, file] { ViewFile(state_, file); });
  });
}

bool Wizard::SortList(std::size_t column, bool descending) {
  // The rows are the ones a running worker may be reading (a save of the list's selection).
  if (Stage() != WizardStage::Catalogue || Busy()) return false;
  if (!state_.shownFolder.rows ||
      state_.shownFolder.rows->Count() != state_.Window().ListRowCount(control::kDetailsList))
    return false;
  return SortFolderRows(state_, column, descending);
}

void Wizard::SaveFromList() {
  if (Stage() >= WizardStage::Catalogue) StartSaving(SaveMode::ChosenInList);
}

void Wizard::SaveFromTree() {
  if (Stage() > WizardStage::Partitions) StartSaving(SaveMode::CheckedInTree);
}

void Wizard::StartSaving(SaveMode saveMode) {
  if (Busy()) return;
  state_.saving.mode = saveMode;
  const std::string destination = state_.Window().AskDestinationFolder();
  if (destination.empty()) return;
  state_.destinationPath = destination;
  ClearSavingProgress(state_.Window());
  workers_.Start(Worker::Saving, [this] {
    SavingRun& run = state_.saving.run;
    run.Reset();
    dialogs_.RunCountingDialog([this] { CountSelection(state_); }, [&run] { run.requests.stop = 1; });
    // A stopped count ends only the count: the run goes on with what was counted.
    run.requests.stop = 0;
    SaveCountedSelection(state_);
    ReportSavingRun(state_);
  });
  dialogs_.RunSavingDialog([this] { return workers_.IsRunning(Worker::Saving); });
}

void Wizard::SaveLog() {
  if (Busy()) return;
  workers_.Start(Worker::LogSave, [this] { RunSaveLogWorker(state_); });
}

void Wizard::PrepareTreesForLoad() {
  WindowPort& window = state_.Window();
  ReplaceFolderTree(state_);
  window.ShowControl(kFolderTree, false);
  if (Stage() == WizardStage::DiskAndMode) {
    window.ShowControl(kDiskTree, false);
    ReplacePartitionTree(state_);
  }
}

void Wizard::LoadLog() {
  if (Busy()) return;
  browse_.End();  // the log's catalogue replaces the one served
  PrepareTreesForLoad();
  workers_.Start(
      Worker::LogLoad, [this] { RunLoadLogWorker(state_); }, /*keepSlot=*/true);
}

void Wizard::ViewReport() {
  // Open the activity log when there is one to open.
  std::error_code error;
  if (!std::filesystem::is_regular_file(state_.files.activityLogPath, error)) {
    state_.Window().ShowMessage(kLogFileNotFound);
    return;
  }
  state_.Window().OpenDocument(state_.files.activityLogPath);
}

void Wizard::DirectoryCommand(int id) {
  if (id == kMenuDirectoryView) {
    ViewListing(state_);
    return;
  }
  if (!ListingAvailable(state_)) return;
  if (id == kMenuDirectoryPrint) {
    const std::string path = ListingPrintPath(state_);
    if (WriteListingFile(state_, path, kPrintSeparator)) dialogs_.PrintListing(path);
  } else {
    const std::string path = ListingTextPath(state_);
    if (WriteListingFile(state_, path, kTextSeparator))
      dialogs_.MailFile(path, kFolderListSubject, kFolderListBody, kMailUnavailable);
  }
}

void Wizard::ToggleBalloonHelp() {
  WindowPort& window = state_.Window();
  const bool checked = window.IsChecked(kMenuBalloonHelp);
  window.SetChecked(kMenuBalloonHelp, !checked);
  state_.balloonHelp = checked ? 0 : 1;
}

void Wizard::StartRawRecoveryOrStop() {
  if (state_.rawRecovery.running.load()) {
    RequestRawRecoveryStop(state_);
    return;
  }
  if (!StartRawRecovery(state_)) return;
  ShowRawRange(state_);
  workers_.Start(Worker::Raw, [this] {
    RunRawRecovery(state_);
    // The results rows stay in the panel; the summary says what the run did, unless the
    // program is closing.
    if (state_.rawRecovery.requests.abandon == 0)
      state_.Window().ShowMessage(RawRecoverySummary(state_.rawRecovery.report));
  });
}

void Wizard::EditRawRange(int field, const std::string& text) {
  if (field != kRawStartSector && field != kRawEndSector) return;
  state_.Window().SetControlText(field, text);
  if (Stage() == WizardStage::Partitions && state_.recoveryMode == RecoveryMode::RawRecovery) ShowRawRange(state_);
}

void Wizard::StopSearching() {
  pause_.Hold();
  const bool stop = state_.Window().AskYesNo(kStopQuestion);
  pause_.Release();
  if (stop) state_.stopRequested.store(1);
}

void Wizard::Exit() {
  if (!state_.Window().AskYesNo(kExitQuestion)) return;
  // Every worker stops at its next step, a file being saved or carved is removed rather
  // than left short, and only then does the process end; nothing they would still ask or
  // tell holds it up.
  state_.Window().Closing();
  state_.stopRequested.store(1);
  state_.saving.run.requests.abandon = 1;
  state_.rawRecovery.requests.abandon = 1;
  dialogs_.WaitWhile([this] { return workers_.AnyRunning(); });
  workers_.WaitAll();
  browse_.End();
  state_.catalogue.Clear();
  RemoveListingFolder(state_);
  dialogs_.EndProcess();
}

bool Wizard::RefusedWhileBusy(int id) const {
  // The commands the menu and the top buttons share are refused by CommandStateOf.
  switch (id) {
    case kSearchMoreButton:
    case kRawEntireDisk:
    case kRawSectorRange:
    case kRawExactSizes:
    case kNextButton:
    case kBackButton:
    case kQuickSearchMode:
    case kAdvancedSearchMode:
    case kRawRecoveryMode: return Busy();
    // Start Recovery is also the Stop of a running raw recovery.
    case kRawStartButton: return Busy() && !workers_.IsRunning(Worker::Raw);
    default: return false;
  }
}

CommandState Wizard::CommandStateOf(int id) const { return StepCommandState(state_, Busy(), id); }

void Wizard::Command(int id) {
  // A command its step does not allow is greyed, and does nothing when it comes anyway.
  if (RefusedWhileBusy(id) || !CommandStateOf(id).enabled) return;
  WindowPort& window = state_.Window();
  switch (id) {
    case kMenuSave:
    case kSaveDataButton: StartSaving(SaveMode::CheckedInTree); break;
    case kMenuSaveSettings: dialogs_.RunSettingsDialog(); break;
    case kMenuSaveLog:
    case kSaveLogButton: SaveLog(); break;
    case kMenuLoadLog:
    case kLoadLogButton: LoadLog(); break;
    case kMenuBrowse:
    case kBrowseButton:
      // Reading the live tree may take long on a slow disk: not on the window's thread.
      workers_.Start(Worker::Browse, [this] { browse_.Open(); });
      break;
    case kMenuExit:
    case kExitButton: Exit(); break;
    case kMenuUpdate: window.ShowMessage(kFeatureNotAvailable); break;
    case kMenuViewReport: ViewReport(); break;
    case kMenuEmailReport: dialogs_.MailFile(state_.files.activityLogPath, "Recovery Report"); break;
    case kMenuDirectoryView:
    case kMenuDirectoryPrint:
    case kMenuDirectoryEmail: DirectoryCommand(id); break;
    case kMenuSupportOnline:
    case kMenuSupportEmail:
    case kMenuSupportTelephone: dialogs_.ShowSupport(id); break;
    case kMenuHelpContents:
    case kHelpButton: dialogs_.OpenHelp(); break;
    case kMenuBalloonHelp: ToggleBalloonHelp(); break;
    case kMenuAbout: dialogs_.ShowAbout(); break;
    case kBackButton: Back(); break;
    case kNextButton: Next(); break;
    case kQuickSearchMode:
    case kAdvancedSearchMode:
    case kRawRecoveryMode: ClickMode(id); break;
    case kStopButton: StopSearching(); break;
    case kSearchMoreButton:
      workers_.Start(
          Worker::MoreSearch, [this] { SearchMorePartitions(state_); }, /*keepSlot=*/true);
      break;
    case kRawStartButton: StartRawRecoveryOrStop(); break;
    case kRawEntireDisk:
      ChooseEntireDisk(state_);
      ShowRawRange(state_);
      break;
    case kRawSectorRange:
      ChooseSectorRange(state_);
      ShowRawRange(state_);
      break;
    case kRawExactSizes: state_.rawRecovery.exactSizes = window.IsChecked(kRawExactSizes); break;
    default: break;
  }
}

}  // namespace vantrel
