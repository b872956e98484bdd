#include "app/Wizard.h"

#include <filesystem>

#include "app/ActivityLog.h"
#include "app/CatalogueBrowsing.h"
#include "app/ControlIds.h"
#include "app/FolderChecks.h"
#include "app/FolderListing.h"
#include "app/FolderTree.h"
#include "base/OutOfMemory.h"
#include "app/RecoveryLogWorkers.h"
#include "app/RunSummaries.h"
#include "app/WindowPort.h"
#include "app/WizardDialogs.h"
#include "app/WizardState.h"
#include "app/WizardViews.h"
#include "app/WorkerPause.h"
#include "app/DiskList.h"
#include "app/ListingCommands.h"
#include "app/RawRecoveryPanel.h"
#include "app/CatalogueBuildCommands.h"
#include "app/PartitionSearchCommands.h"
#include "app/PartitionList.h"
#include "saving/FileSaver.h"
#include "app/SavingCommands.h"
#include "app/SavingProgress.h"
#include "app/ValueFields.h"

namespace vantrel {

using namespace control;

namespace {

constexpr int kModeButtons[] = {kQuickSearchMode, kAdvancedSearchMode, kRawRecoveryMode};
constexpr int kRawPanelControls[] = {kRawFileTypesGroup, kRawMethodGroup, kRawReportGroup, kRawFileTypesList,
                                     kRawResultsList,    kRawEntireDisk,  kRawSectorRange, kRawStartLabel,
                                     kRawStartSector,    kRawEndLabel,    kRawEndSector,   kRawStartButton,
                                     kRawStatus,         kRawProgress,    kRawExactSizes};

const char* ModeLogText(int mode) {
  switch (mode) {
    case 1: return "QUICK";
    case 2: return "Advance";
    case 3: return "Raw";
    default: return "";
  }
}

}  // namespace

Wizard::Wizard(WizardState& state, WizardDialogs& dialogs, WorkerPause& pause)
    : state_(state), dialogs_(dialogs), pause_(pause) {
  workers_.SetOutOfMemoryHandler([this](Worker slot) { AfterOutOfMemory(slot); });
}

int Wizard::Stage() const { return state_.wizardStage; }

void Wizard::Log(const std::string& text) { AppendActivityLog(state_.activityLogPath, text); }

void Wizard::Initialise(const std::string& languageSetting) {
  WindowPort& window = state_.Window();
  state_.activityLogPath = ActivityLogPath(state_.programFolder);
  Log("\r\n");
  window.SetControlText(kLogFolderEdit, state_.tempFolder);
  window.ShowControl(kLogFolderEdit, false);
  window.ListRemoveAllColumns(kDetailsList);
  window.ListInsertColumn(kDetailsList, {"Details", 500});
  SetUpRawRecoveryLists(window);
  for (const int id : {kMenuSave, kMenuSaveSettings, kMenuSaveLog, kMenuDirectoryView, kMenuDirectoryPrint,
                       kMenuDirectoryEmail, kSaveLogButton, kMenuBrowse})
    window.EnableControl(id, false);
  window.SetChecked(kMenuBalloonHelp, state_.balloonHelp != 0);
  for (const int id : kRawPanelControls) window.ShowControl(id, false);
  window.SetChecked(kRawExactSizes, state_.rawRecovery.exactSizes);
  for (const int id : {kMoreSearchProgress, kPartitionTree, kFolderTree}) window.ShowControl(id, false);
  state_.languageFileName = ChooseLanguageFile(languageSetting);
  language_.Load(state_.programFolder + "/" + LanguageFileOnDisk(state_.languageFileName));
  state_.wizardStage = 0;
  // The first screen is the one that Back to the first step shows.
  ShowView(state_, 1);
}

void Wizard::ClickDiskItem(TreeItemHandle item) {
  if (Stage() != 0 || Busy()) return;
  WindowPort& window = state_.Window();
  const std::string label = window.TreeText(TreeId::Disk, item);
  if (label.empty() || label == "My Computer") return;
  window.TreeSelect(TreeId::Disk, item);
  state_.SelectedDiskText = label;
  if (label != "File Systems") ShowDiskDetails(state_, DiskIndexFromLabel(label));
  ShowSelectedDisk(state_);
  for (const int id : kModeButtons) window.EnableControl(id, true);
  ShowStepPicture(state_, 2);
}

void Wizard::SelectMode(int button, bool showPicture) {
  WindowPort& window = state_.Window();
  state_.recoveryMode = static_cast<std::uint16_t>(button - kQuickSearchMode + 1);
  for (const int id : kModeButtons) window.SetChecked(id, id == button);
  ShowSelectedMode(state_);
  window.EnableControl(kNextButton, true);
  if (showPicture) ShowStepPicture(state_, 3);
}

std::string Wizard::HoverMode(int button) {
  // Only the first step offers the modes, once a disk is chosen.
  if (Stage() != 0 || Busy() || state_.SelectedDiskText.empty()) return {};
  SelectMode(button, false);
  if (!state_.balloonHelp) return {};
  return language_.ModeDescription(state_.recoveryMode);
}

void Wizard::ClickMode(int button) {
  if (Stage() == 0 && !Busy() && !state_.SelectedDiskText.empty()) SelectMode(button, true);
}

void Wizard::Next() {
  // A running worker owns the stage (a file being opened from the list still reads the
  // partition and the catalogue).
  if (Busy()) return;
  if (Stage() == 0)
    NextFromDiskStage();
  else if (Stage() == 1)
    NextFromPartitionStage();
}

void Wizard::NextFromDiskStage() {
  WindowPort& window = state_.Window();
  const int mode = state_.recoveryMode;
  if (mode < 1 || mode > 3) return;
  Log("\r\nSelected Disk : " + state_.selectedDiskModel + "\r\nSelected Mode : " + ModeLogText(mode));
  window.EnableControl(kRawStartButton, mode == 3);
  if (mode != 3) ShowView(state_, 0);
  if (mode == 1) {
    ReplacePartitionTree(state_);
    QuickSearch(state_);
    Log("\r\nTotal Partitions Found : " + std::to_string(state_.partitionTable.count));
    ShowPartitionsFound(state_);
    ShowView(state_, 3);
    state_.wizardStage = 1;
  } else if (mode == 2) {
    ReplacePartitionTree(state_);
    window.EnableControl(kPartitionTree, false);
    window.EnableControl(kStopButton, true);
    workers_.Empty(Worker::Catalogue);
    workers_.Start(Worker::PartitionSearch, [this, disk = CurrentDisk(state_), sectors = CurrentDiskSectors(state_)] {
      AdvancedSearchOn(state_, disk, sectors);
    });
  } else {
    workers_.Empty(Worker::Catalogue);
    workers_.Empty(Worker::PartitionSearch);
    // Raw recovery reads the disk chosen at this step, as the searches do.
    state_.CurrentDiskIndex = DiskIndexFromLabel(state_.SelectedDiskText);
    ShowView(state_, 8);
    state_.wizardStage = 1;
  }
}

void Wizard::NextFromPartitionStage() {
  const auto type = dialogs_.AskFileSearchType();
  if (!type) return;
  state_.fileSearchType = *type;
  if (*type == 1 && state_.recoveryMode == 3) return;
  WindowPort& window = state_.Window();
  window.EnableControl(kRawStartButton, false);
  browse_.End();  // a new catalogue replaces the one served
  ReplaceFolderTree(state_);
  window.ShowControl(kFolderTree, false);
  ShowView(state_, 4);
  workers_.Empty(Worker::PartitionSearch);
  if (workers_.IsRunning(Worker::Catalogue)) return;
  workers_.Start(Worker::Catalogue,
                 [this, job = BeginCatalogueBuild(state_, *type != 1)] { RunCatalogueBuild(state_, job); });
}

void Wizard::Back() {
  if (Busy()) return;  // a worker may read the catalogue Back frees, or change the stage
  WindowPort& window = state_.Window();
  window.EnableControl(kRawStartButton, false);
  if (Stage() == 1) {
    state_.wizardStage = 0;
    ShowView(state_, 1);
    if (state_.recoveryMode == 3) ShowView(state_, 88);
  } else if (Stage() == 2) {
    ReturnToPartitions();
  }
}

void Wizard::ReturnToPartitions() {
  WindowPort& window = state_.Window();
  browse_.End();
  state_.catalogue.Clear();
  state_.wizardStage = 1;
  window.ShowControl(kFolderTree, false);
  window.ShowControl(kPartitionTree, true);
  window.EnableControl(kPartitionTree, true);
  ShowView(state_, 7);
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
        state_.StopRequested.store(0);
        ShowView(state_, 1);
        break;
      case Worker::MoreSearch: ShowView(state_, 10); break;
      case Worker::Raw: LeaveRawPanelIdle(state_); break;
      case Worker::LogLoad: LeaveLoadUndone(state_); break;
      default: break;
    }
  });
}

void Wizard::ClickPartitionItem(TreeItemHandle item) {
  if (Stage() != 1 || Busy()) return;
  SelectPartitionItem(state_, item);
  ShowPartitionRange(state_);
}

void Wizard::ClickFolderItem(TreeItemHandle item) {
  if (Stage() == 2) ShowFolderOfItem(state_, item);
}

void Wizard::ClickFolderCheck(TreeItemHandle item) {
  state_.Window().TreeSelect(TreeId::Folder, item);
  ToggleCheck(state_, item);
}

void Wizard::OpenListRow(std::size_t row, bool upperCase) {
  if (Stage() != 2) return;
  // A large file takes a while to write: the window goes on answering meanwhile. One file is
  // opened at a time.
  OpenCatalogueRow(state_, row, upperCase, [this](const CatalogueEntry& file) {
    if (Busy()) return;
    workers_.Start(Worker::Viewing, [this, file] { ViewFile(state_, file); });
  });
}

bool Wizard::SortList(std::size_t column, bool descending) {
  // The rows are the ones a running worker may be reading (a save of the list's selection).
  if (Stage() != 2 || Busy()) return false;
  if (!state_.shownRows || state_.shownRows->Count() != state_.Window().ListRowCount(control::kDetailsList))
    return false;
  return SortFolderRows(state_, column, descending);
}

void Wizard::SaveFromList() {
  if (Stage() >= 2) StartSaving(2);
}

void Wizard::SaveFromTree() {
  if (Stage() > 1) StartSaving(1);
}

void Wizard::StartSaving(std::uint16_t saveMode) {
  if (Busy()) return;
  state_.saveMode = saveMode;
  const std::string destination = state_.Window().AskDestinationFolder();
  if (destination.empty()) return;
  state_.destinationPath = destination;
  ClearSavingProgress(state_.Window());
  workers_.Start(Worker::Saving, [this] {
    SavingRun& run = state_.saving;
    run.Reset();
    dialogs_.RunCountingDialog([this] { CountSelection(state_); }, [&run] { run.saveStopRequested = 1; });
    // A stopped count ends only the count: the run goes on with what was counted.
    run.saveStopRequested = 0;
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
  if (Stage() == 0) {
    window.ShowControl(kDiskTree, false);
    ReplacePartitionTree(state_);
  }
}

void Wizard::LoadLog() {
  if (Busy()) return;
  browse_.End();  // the log's catalogue replaces the one served
  PrepareTreesForLoad();
  workers_.Start(Worker::LogLoad, [this] { RunLoadLogWorker(state_); }, /*keepSlot=*/true);
}

void Wizard::ViewReport() {
  // Open the activity log when there is one to open.
  std::error_code error;
  if (!std::filesystem::is_regular_file(state_.activityLogPath, error)) {
    state_.Window().ShowMessage(kLogFileNotFound);
    return;
  }
  state_.Window().OpenDocument(state_.activityLogPath);
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
    if (WriteListingFile(state_, path, kTextSeparator)) dialogs_.MailFile(path, kFolderListSubject, kFolderListBody, kMailUnavailable);
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
  workers_.Start(Worker::Raw, [this] {
    RunRawRecovery(state_);
    // The results rows stay in the panel; the summary says what the run did.
    state_.Window().ShowMessage(RawRecoverySummary(state_.rawRecovery.report));
  });
}

void Wizard::Browse() {
  if (Stage() < 2)
    state_.Window().ShowMessage(kGoToCatalogueStep);
  else
    browse_.Open();
}

void Wizard::StopSearching() {
  pause_.Hold();
  const bool stop = state_.Window().AskYesNo(kStopQuestion);
  pause_.Release();
  if (stop) state_.StopRequested.store(1);
}

void Wizard::Exit() {
  if (!state_.Window().AskYesNo(kExitQuestion)) return;
  // Every worker stops at its next step, a file being saved or carved is removed rather
  // than left short, and only then does the process end.
  state_.StopRequested.store(1);
  state_.saving.abandonRequested = 1;
  state_.rawRecovery.abandonRequested.store(true);
  state_.rawRecovery.stopRequested.store(true);
  dialogs_.WaitWhile([this] { return workers_.AnyRunning(); });
  workers_.WaitAll();
  browse_.End();
  state_.catalogue.Clear();
  dialogs_.EndProcess();
}

bool Wizard::RefusedWhileBusy(int id) const {
  switch (id) {
    case kMenuSave:
    case kSaveDataButton:
    case kMenuSaveSettings:
    case kMenuSaveLog:
    case kSaveLogButton:
    case kMenuLoadLog:
    case kLoadLogButton:
    case kMenuBrowse:
    case kBrowseButton:
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

void Wizard::Command(int id) {
  if (RefusedWhileBusy(id)) return;
  WindowPort& window = state_.Window();
  const bool raw = state_.recoveryMode == 3;
  switch (id) {
    case kMenuSave:
      if (Stage() >= 2) StartSaving(1);
      break;
    case kSaveDataButton:
      if (Stage() < 2)
        window.ShowMessage(kGoToCatalogueStep);
      else
        StartSaving(1);
      break;
    case kMenuSaveSettings: dialogs_.RunSettingsDialog(); break;
    case kMenuSaveLog: SaveLog(); break;
    case kMenuLoadLog:
      if (raw)
        window.ShowMessage(kLoadLogInRawMode);
      else
        LoadLog();
      break;
    case kLoadLogButton:
      if (raw)
        window.ShowMessage(kLogButtonInRawMode);
      else if (Stage() == 2)
        window.ShowMessage(kGoToFirstSteps);
      else
        LoadLog();
      break;
    case kSaveLogButton:
      if (raw)
        window.ShowMessage(kLogButtonInRawMode);
      else if (Stage() == 2)
        SaveLog();
      else
        window.ShowMessage(kGoToCatalogueStep);
      break;
    case kMenuBrowse:
    case kBrowseButton: Browse(); break;
    case kMenuExit:
    case kExitButton: Exit(); break;
    case kMenuUpdate: window.ShowMessage(kFeatureNotAvailable); break;
    case kMenuViewReport: ViewReport(); break;
    case kMenuEmailReport: dialogs_.MailFile(state_.activityLogPath, "Recovery Report"); break;
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
      workers_.Start(Worker::MoreSearch, [this] { SearchMorePartitions(state_); }, /*keepSlot=*/true);
      break;
    case kRawStartButton: StartRawRecoveryOrStop(); break;
    case kRawEntireDisk: ChooseEntireDisk(state_); break;
    case kRawSectorRange: ChooseSectorRange(state_); break;
    case kRawExactSizes: state_.rawRecovery.exactSizes = window.IsChecked(kRawExactSizes); break;
    default: break;
  }
}

}  // namespace vantrel
