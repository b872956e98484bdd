#pragma once
// The main window: the controls of the template rendered from the window's models, the
// menu bar, the top buttons, the status bar with its clock, and the user's actions handed
// to the wizard. Changes reported from any thread are applied on the GUI thread, coalesced.

#include <QMainWindow>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <set>

#include "app/ModelWindow.h"

class QAction;
class QLabel;
class QTableView;
class QTreeWidget;

namespace vantrel {
struct WizardState;
class Wizard;
class WizardDialogs;
}  // namespace vantrel

namespace vantrel::qt {

class ListTableModel;
class TreeBinder;

class QtWizardWindow : public QMainWindow, public ModelWindow {
  Q_OBJECT
 public:
  explicit QtWizardWindow(WizardState& state);
  ~QtWizardWindow() override;

  // Connects the user's actions to the wizard and its dialogs.
  void Bind(Wizard& wizard, WizardDialogs& dialogs);
  QWidget* ControlWidget(int id) const;
  QAction* CommandAction(int id) const;
  QTreeWidget* TreeWidget(TreeId tree) const;
  TreeBinder& Binder(TreeId tree) const;
  // Applies every change reported so far (the window does so by itself on its next turn).
  void RefreshNow();
  // Applies the state of every control, as at start.
  void ApplyAll();

  void ShowMessage(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  bool SystemMessage(const std::string& text, SystemIcon icon) override;
  BadSectorAnswer AskBadSector(const BadSectorQuestion& question) override;
  bool AskAboutRun(const std::string& text, const std::function<bool()>& runGoesOn) override;
  void Closing() override { closing_ = true; }
  void RunOnWindowThread(const std::function<void()>& fn) override;
  ReplaceAnswer AskReplaceFile(const std::string& path) override;
  WriteErrorAnswer AskWriteError(const std::string& path) override;
  std::string AskDestinationFolder() override;
  std::string AskFilePath(FileDialogKind kind, const std::string& filter) override;
  void OpenDocument(const std::string& path) override;

 protected:
  void OnChanged(const WindowChange& change) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenu();
  void BuildStatusBar();
  void DecorateControls();
  void ConnectControls();
  void ConnectTrees();
  void ConnectList();
  void ApplyControl(int id);
  void ApplyBusyCommands();
  void ApplyStepCommands();
  void FocusView(WizardView view);
  void ShowButtonTooltip(int id, const QString& whyNot);
  bool FrameShown(int id) const;
  void ApplyList(int id);
  void ApplyTree(TreeId tree);
  void ShowMenuBalloon(QAction* action);
  bool FilterKey(QKeyEvent* key);
  // Space or Enter on the disk or partition tree: its current item is chosen.
  bool ChooseFocusedItem();
  // Shows a dialog on the GUI thread and returns its answer. One the user's own action opened
  // (on the GUI thread) is counted; one a worker asks for waits until those are answered,
  // so that dialogs never stack. Once the program closes, none is shown: ifClosing is the
  // answer.
  template <typename Answer, typename Show>
  Answer Dialog(Answer ifClosing, Show show);

  WizardState& state_;
  Wizard* wizard_ = nullptr;
  WizardDialogs* dialogs_ = nullptr;
  std::map<int, QWidget*> controls_;
  std::map<int, QAction*> actions_;
  std::map<int, ListTableModel*> lists_;
  std::unique_ptr<TreeBinder> binders_[3];
  std::map<int, QString> shownPictures_;
  QLabel* clock_ = nullptr;

  std::mutex pendingMutex_;
  bool refreshQueued_ = false;
  std::set<int> pendingControls_;
  std::set<int> pendingLists_;
  std::set<int> pendingTrees_;
  int pendingView_ = -1;  // the view shown since the last refresh
  bool applyingSelection_ = false;
  std::atomic<bool> closing_{false};
  int ownDialogs_ = 0;  // on the GUI thread only
};

}  // namespace vantrel::qt
