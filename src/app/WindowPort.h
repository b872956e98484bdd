#pragma once
// The window port: the only way the engines talk to the user. Message dialogs, the view
// switch, and plain operations on named controls, list views and tree views. The Qt
// window, the console front end and the tests each provide one.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ListModel.h"
#include "app/TreeModel.h"
#include "app/WizardModes.h"
#include "disk/BadSectorPrompt.h"
#include "recovery/SaveQuestions.h"

namespace vantrel {

inline constexpr const char* kApplicationTitle = "Vantrel For ReiserFS";

enum class SystemIcon { Error, Question, Information, None };

// Answers of the "Bad Sector Encountered" dialog: the sector reader's own policies.
using BadSectorAnswer = BadSectorPolicy;

enum class TreeId { Disk, Partition, Folder };

enum class FileDialogKind { Open, Save };

class WindowPort : public SavePrompts {
 public:
  virtual ~WindowPort() = default;

  // Message dialogs, modal, callable from any thread; they return the user's answer.
  virtual void ShowMessage(const std::string& text) = 0;
  // True for "&Yes"; closing the dialog counts as No.
  virtual bool AskYesNo(const std::string& text) = 0;
  // The system-modal box with the application title as caption. With the question icon
  // it offers Yes and No and returns true for Yes; otherwise it has one OK button and
  // returns true.
  virtual bool SystemMessage(const std::string& text, SystemIcon icon) = 0;
  // "Bad Sector Encountered", naming the sectors and the file (when known) it is about.
  virtual BadSectorAnswer AskBadSector(const BadSectorQuestion& question) = 0;
  // A Yes/No question about a run under way ("terminate this process?"): it goes away by
  // itself, as No, once runGoesOn() turns false, so that no question outlives its run.
  virtual bool AskAboutRun(const std::string& text, const std::function<bool()>& runGoesOn) {
    return runGoesOn() && SystemMessage(text, SystemIcon::Question);
  }
  // The program is closing: what the workers ask or tell from now on is not shown, and
  // their questions get the answers that end their runs soonest.
  virtual void Closing() {}
  // The common file dialogs, filtered on a pattern such as "*.Sav": the chosen path, empty
  // when cancelled. The save form asks before replacing an existing file; where the open
  // form lets several files be chosen, the last of them is returned.
  virtual std::string AskFilePath(FileDialogKind kind, const std::string& filter) = 0;
  // The replace and write-error questions of saving come from SavePrompts.
  // The "File Saving" dialog ("Enter Path for Saving or Click on Browse Button"): the
  // destination folder typed or browsed, empty when it was cancelled.
  virtual std::string AskDestinationFolder() = 0;

  // Runs fn on the thread that owns the window and the wizard's state, and waits for it:
  // workers hand their results to the state through it. A window without a thread of its
  // own runs fn at once.
  virtual void RunOnWindowThread(const std::function<void()>& fn) { fn(); }

  // Opens a file with the desktop's default program for it (the "open" action).
  virtual void OpenDocument(const std::string& path) = 0;

  // Tells the window which view it now shows; ShowView(WizardState&, view) of
  // app/WizardViews.h has already set its controls.
  virtual void ShowView(WizardView view) = 0;

  // Simple controls.
  virtual void SetControlText(int id, const std::string& text) = 0;
  virtual std::string ControlText(int id) = 0;
  virtual void ShowControl(int id, bool shown) = 0;
  virtual void EnableControl(int id, bool enabled) = 0;
  virtual void SetChecked(int id, bool checked) = 0;
  virtual bool IsChecked(int id) = 0;
  // Progress bars: position 0 to 100.
  virtual void SetProgress(int id, int position) = 0;

  // List views.
  virtual void ListRemoveAllRows(int id) = 0;
  virtual void ListRemoveAllColumns(int id) = 0;
  virtual void ListInsertColumn(int id, const ListColumn& column) = 0;
  virtual std::size_t ListInsertRow(int id, const std::string& text, int image = -1) = 0;
  virtual void ListSetCell(int id, std::size_t row, std::size_t column, const std::string& text) = 0;
  virtual std::string ListCell(int id, std::size_t row, std::size_t column) = 0;
  virtual std::size_t ListRowCount(int id) = 0;
  virtual bool ListRowSelected(int id, std::size_t row) = 0;
  virtual bool ListRowChecked(int id, std::size_t row) = 0;
  virtual void ListSetRowChecked(int id, std::size_t row, bool checked) = 0;
  virtual void ListSetRowSelected(int id, std::size_t row, bool selected) = 0;
  // Rows first to last (inclusive) at once, as one change.
  virtual void ListSetRowsSelected(int id, std::size_t first, std::size_t last, bool selected) = 0;
  // Replaces the rows by a source's, made when they are shown (and the order they are in,
  // as ListModel::SetSortOrder).
  virtual void ListSetRowSource(int id, std::shared_ptr<const ListRowSource> source, int sortColumn = -1,
                                bool descending = false) = 0;

  // Tree views; each keeps its root item.
  virtual TreeItemHandle TreeReset(TreeId tree, const std::string& rootText) = 0;
  virtual TreeItemHandle TreeRoot(TreeId tree) = 0;
  virtual TreeItemHandle TreeInsert(TreeId tree, TreeItemHandle parent, const std::string& text,
                                    int image, int selectedImage) = 0;
  virtual void TreeDelete(TreeId tree, TreeItemHandle item) = 0;
  virtual void TreeExpand(TreeId tree, TreeItemHandle item) = 0;
  virtual void TreeSelect(TreeId tree, TreeItemHandle item) = 0;
  virtual void TreeSetCheck(TreeId tree, TreeItemHandle item, CheckState state) = 0;
  virtual CheckState TreeCheck(TreeId tree, TreeItemHandle item) = 0;
  virtual std::string TreeText(TreeId tree, TreeItemHandle item) = 0;
  virtual TreeItemHandle TreeParent(TreeId tree, TreeItemHandle item) = 0;
  virtual std::vector<TreeItemHandle> TreeChildren(TreeId tree, TreeItemHandle item) = 0;
};

}  // namespace vantrel
