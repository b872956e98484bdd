#pragma once
// A window port whose controls, lists and trees live in Qt-free models. Subclasses add
// the dialogs and may react to changes (the Qt window repaints, the console prints).

#include <map>
#include <mutex>
#include <string>

#include "app/ControlModel.h"
#include "app/WorkerPause.h"
#include "app/WindowPort.h"

namespace vantrel {

struct WindowChange {
  enum class Kind { View, ControlText, ControlState, Progress, List, Tree } kind;
  int id = 0;  // control id, list id, view code or tree id
};

class ModelWindow : public WindowPort {
 public:
  void ShowView(WizardView view) override;
  WizardView CurrentView() const;

  void SetControlText(int id, const std::string& text) override;
  std::string ControlText(int id) override;
  void ShowControl(int id, bool shown) override;
  void EnableControl(int id, bool enabled) override;
  void SetChecked(int id, bool checked) override;
  bool IsChecked(int id) override;
  void SetProgress(int id, int position) override;
  ControlState Control(int id) const;

  void ListRemoveAllRows(int id) override;
  void ListRemoveAllColumns(int id) override;
  void ListInsertColumn(int id, const ListColumn& column) override;
  std::size_t ListInsertRow(int id, const std::string& text, int image = -1) override;
  void ListSetCell(int id, std::size_t row, std::size_t column, const std::string& text) override;
  std::string ListCell(int id, std::size_t row, std::size_t column) override;
  std::size_t ListRowCount(int id) override;
  bool ListRowSelected(int id, std::size_t row) override;
  bool ListRowChecked(int id, std::size_t row) override;
  void ListSetRowChecked(int id, std::size_t row, bool checked) override;
  void ListSetRowSelected(int id, std::size_t row, bool selected) override;
  void ListSetRowsSelected(int id, std::size_t first, std::size_t last, bool selected) override;
  void ListSetRowSource(int id, std::shared_ptr<const ListRowSource> source, int sortColumn = -1,
                        bool descending = false) override;
  // A snapshot: the rows held as text are copied, a row source is shared.
  ListModel List(int id) const;

  TreeItemHandle TreeReset(TreeId tree, const std::string& rootText) override;
  TreeItemHandle TreeRoot(TreeId tree) override;
  TreeItemHandle TreeInsert(TreeId tree, TreeItemHandle parent, const std::string& text, int image,
                            int selectedImage) override;
  void TreeDelete(TreeId tree, TreeItemHandle item) override;
  void TreeExpand(TreeId tree, TreeItemHandle item) override;
  void TreeSelect(TreeId tree, TreeItemHandle item) override;
  void TreeSetCheck(TreeId tree, TreeItemHandle item, CheckState state) override;
  CheckState TreeCheck(TreeId tree, TreeItemHandle item) override;
  std::string TreeText(TreeId tree, TreeItemHandle item) override;
  TreeItemHandle TreeParent(TreeId tree, TreeItemHandle item) override;
  std::vector<TreeItemHandle> TreeChildren(TreeId tree, TreeItemHandle item) override;
  TreeModel Tree(TreeId tree) const;

  // Holds workers at their next report while the user answers a question about them.
  WorkerPause& Pause() { return pause_; }

 protected:
  // Called after every change, outside the lock.
  virtual void OnChanged(const WindowChange& /*change*/) {}

 private:
  // OnChanged, then the pause of a worker that reports while held.
  void Notify(const WindowChange& change);
  TreeModel& TreeOf(TreeId tree) { return trees_[static_cast<int>(tree)]; }

  mutable std::mutex mutex_;
  WizardView view_ = WizardView::None;
  ControlModel controls_;
  std::map<int, ListModel> lists_;
  TreeModel trees_[3];
  WorkerPause pause_;
};

}  // namespace vantrel
