#pragma once
// The wizard behind the main window: its stages, Next and Back, the recovery modes, the
// clicks in the trees and the list, the commands of the menu and the buttons with their
// refusals, and the workers that run the long operations. Qt-free: the window forwards
// the user's actions here and renders the models.

#include <cstdint>
#include <string>

#include "app/BrowseFolder.h"
#include "app/CommandStates.h"
#include "app/LanguageTexts.h"
#include "app/TreeModel.h"
#include "app/WizardModes.h"
#include "app/WorkerSlots.h"

namespace vantrel {

struct WizardState;
class WizardDialogs;
class WorkerPause;

inline constexpr const char* kFeatureNotAvailable = "Currently this feature is not available";
inline constexpr const char* kLogFileNotFound = "Unable to find log file";
inline constexpr const char* kExitQuestion = "Do you want to exit from Vantrel?";
inline constexpr const char* kStopQuestion = "Do you want to stop this process?";
inline constexpr const char* kFolderListSubject = "Vantrel Folder List";
inline constexpr const char* kFolderListBody = "Attachment contains list of folders that can be recovered";
inline constexpr const char* kMailUnavailable = "Unable to Load EmailMessaging SubSystem";

class Wizard {
 public:
  Wizard(WizardState& state, WizardDialogs& dialogs, WorkerPause& pause);

  // Window initialisation after the disks are listed: activity log, lists, initial menu
  // state, language and the first step picture.
  void Initialise(const std::string& languageSetting);

  // At the first step (DiskAndMode): a click on a disk tree item's label.
  void ClickDiskItem(TreeItemHandle item);
  // The mouse moved over an enabled mode button (1027 to 1029): selects the mode. Returns
  // the balloon's description, empty when balloon help is off.
  std::string HoverMode(int button);
  // A click on a mode button (only the keyboard makes one).
  void ClickMode(int button);
  void Next();
  void Back();

  // At the Partitions stage: a click on a partition tree item.
  void ClickPartitionItem(TreeItemHandle item);
  // At the Catalogue stage: a click on a folder tree item's label shows its folder.
  void ClickFolderItem(TreeItemHandle item);
  // A click on a tree item's check box.
  void ClickFolderCheck(TreeItemHandle item);
  // Double-click on a row of list 1001, or Enter in it (upperCase for Enter).
  void OpenListRow(std::size_t row, bool upperCase = false);
  // A click on a heading of the list at the Catalogue stage: its rows ordered by that column. Refused
  // (false) while a worker runs.
  bool SortList(std::size_t column, bool descending);
  // "Save" from the context menus of list 1001 and of the folder tree.
  void SaveFromList();
  void SaveFromTree();
  // Text typed in a sector field of the raw recovery panel: the Range field follows it.
  void EditRawRange(int field, const std::string& text);

  // A menu command or a button of the window, by its identifier; one its step does not
  // allow does nothing.
  void Command(int id);
  // Whether the step allows a command the menu and the top buttons share, and why not.
  CommandState CommandStateOf(int id) const;
  // The commands refused (and greyed) while a worker runs.
  bool RefusedWhileBusy(int id) const;
  void StopSearching();
  void Exit();

  // What serves the catalogue for Browse; without one, Browse says it is not available.
  void UseMounter(CatalogueMounter* mounter) { browse_.UseMounter(mounter); }
  // The folder Browse mounted the catalogue in, empty when none is mounted.
  const std::string& BrowsedFolder() const { return browse_.Folder(); }

  WorkerSlots& Workers() { return workers_; }
  // True while a worker runs: every command that would start another one or change the
  // stage is refused meanwhile (the window greys them).
  bool Busy() const { return workers_.AnyRunning(); }
  const LanguageTexts& Language() const { return language_; }

 private:
  WizardStage Stage() const;
  void NextFromDiskStage();
  void NextFromPartitionStage();
  void SelectMode(int button, bool showPicture);
  void StartSaving(SaveMode saveMode);
  void SaveLog();
  void LoadLog();
  void PrepareTreesForLoad();
  void ViewReport();
  void DirectoryCommand(int id);
  void ToggleBalloonHelp();
  void StartRawRecoveryOrStop();
  void ReturnToPartitions();
  void AfterOutOfMemory(Worker slot);
  void Log(const std::string& text);

  WizardState& state_;
  WizardDialogs& dialogs_;
  WorkerPause& pause_;
  WorkerSlots workers_;
  LanguageTexts language_;
  BrowseFolder browse_{state_};
};

}  // namespace vantrel
