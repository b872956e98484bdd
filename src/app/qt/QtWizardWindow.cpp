#include "app/qt/QtWizardWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QThread>
#include <QTime>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>
#include <QUrl>
#include <exception>
#include <optional>

#include "app/ClockText.h"
#include "app/CommandStates.h"
#include "app/ControlIds.h"
#include "app/MenuCommands.h"
#include "app/Wizard.h"
#include "app/WizardDialogs.h"
#include "app/WizardState.h"
#include "app/qt/CutTextTooltips.h"
#include "app/qt/GuiThread.h"
#include "app/qt/ListColumnFit.h"
#include "app/qt/ListTableModel.h"
#include "app/qt/MainWindowLayout.h"
#include "app/qt/ModeButton.h"
#include "app/qt/PictureArt.h"
#include "app/qt/PortDialogs.h"
#include "app/qt/TreeBinder.h"

namespace vantrel::qt {

using namespace control;

namespace {

constexpr int kTreeIds[] = {kDiskTree, kPartitionTree, kFolderTree};
constexpr TreeId kTreeOfIndex[] = {TreeId::Disk, TreeId::Partition, TreeId::Folder};
constexpr int kListIds[] = {kDetailsList, kRawFileTypesList, kRawResultsList};

// The controls that a running worker may refuse, beside the commands the menu and the top
// buttons share (app/CommandStates.h).
constexpr int kBusyRefusedControls[] = {kSearchMoreButton, kRawEntireDisk,   kRawSectorRange,    kRawExactSizes,
                                        kRawStartButton,   kNextButton,      kBackButton,        kQuickSearchMode,
                                        kAdvancedSearchMode, kRawRecoveryMode};

int TreeIndex(TreeId tree) { return static_cast<int>(tree); }

// The heading's arrow shows the order the list model says its rows are in.
void ShowSortIndicator(QHeaderView* header, const ListModel& list) {
  header->setSortIndicatorShown(list.SortColumn() >= 0);
  if (list.SortColumn() >= 0)
    header->setSortIndicator(list.SortColumn(), list.SortDescending() ? Qt::DescendingOrder : Qt::AscendingOrder);
}

struct TopButton {
  int id;
  CommandPicture icon;
  const char* tooltip;
};
constexpr TopButton kTopButtons[] = {
    {kSaveDataButton, CommandPicture::SaveData, "Save Data"},
    {kLoadLogButton, CommandPicture::LoadLog, "Load Log"},
    {kSaveLogButton, CommandPicture::SaveLog, "Save Log"},
    {kBrowseButton, CommandPicture::Browse, "Browse the recovered folders in the file manager"},
    {kHelpButton, CommandPicture::Help, "Help"},
    {kExitButton, CommandPicture::Exit, "Exit from Vantrel"},
};

}  // namespace

QtWizardWindow::QtWizardWindow(WizardState& state) : state_(state) {
  setWindowTitle(QString::fromUtf8(kApplicationTitle));
  setWindowIcon(ApplicationIcon());
  // A window of fixed size offers no maximise: the hints are given exactly (CustomizeWindowHint).
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  auto* client = new QWidget(this);
  client->setFixedSize(ClientSize());
  setCentralWidget(client);
  controls_ = CreateControls(client);
  auto* banner = new QLabel(client);
  banner->setGeometry(238, 4, 503, 38);
  banner->setPixmap(BannerPixmap(banner->size()));
  DecorateControls();
  BuildMenu();
  BuildStatusBar();
  // The template's texts are the controls' first texts.
  for (const TemplateControl& placed : TemplateControls())
    if (*placed.text) ModelWindow::SetControlText(placed.id, placed.text);
  for (int i = 0; i < 3; ++i) {
    const bool folder = kTreeOfIndex[i] == TreeId::Folder;
    const QIcon root = style()->standardIcon(folder ? QStyle::SP_DirHomeIcon : QStyle::SP_ComputerIcon);
    const QIcon item = style()->standardIcon(i == 0 ? QStyle::SP_DriveHDIcon : QStyle::SP_DirIcon);
    binders_[i] = std::make_unique<TreeBinder>(TreeWidget(kTreeOfIndex[i]), folder, root, item);
  }
  for (const int id : kListIds) {
    auto* view = static_cast<QAbstractItemView*>(controls_.at(id));
    auto* model = new ListTableModel(*this, id, id == kRawFileTypesList, view);
    view->setModel(model);
    if (auto* table = qobject_cast<QTableView*>(view)) table->horizontalHeader()->setStretchLastSection(true);
    view->setTabKeyNavigation(false);  // Tab leaves the list; the arrows walk its rows
    lists_[id] = model;
  }
  static_cast<QTableView*>(controls_.at(kDetailsList))->setShowGrid(true);
  // A name cut short by its column shows whole as a tooltip.
  CutTextTooltips::Watch(static_cast<QTableView*>(controls_.at(kDetailsList)));
  for (const TreeId tree : kTreeOfIndex) CutTextTooltips::Watch(TreeWidget(tree));
  // The results list shows its four rows whole; the Report group names it.
  auto* results = static_cast<QTableView*>(controls_.at(kRawResultsList));
  results->verticalHeader()->setMinimumSectionSize(14);
  results->verticalHeader()->setDefaultSectionSize(15);
  results->horizontalHeader()->hide();
  setFixedSize(sizeHint());
  qApp->installEventFilter(this);
}

QtWizardWindow::~QtWizardWindow() { qApp->removeEventFilter(this); }

QWidget* QtWizardWindow::ControlWidget(int id) const {
  const auto found = controls_.find(id);
  return found == controls_.end() ? nullptr : found->second;
}

QAction* QtWizardWindow::CommandAction(int id) const {
  const auto found = actions_.find(id);
  return found == actions_.end() ? nullptr : found->second;
}

QTreeWidget* QtWizardWindow::TreeWidget(TreeId tree) const {
  return static_cast<QTreeWidget*>(controls_.at(kTreeIds[TreeIndex(tree)]));
}

TreeBinder& QtWizardWindow::Binder(TreeId tree) const { return *binders_[TreeIndex(tree)]; }

void QtWizardWindow::ShowButtonTooltip(int id, const QString& whyNot) {
  for (const TopButton& button : kTopButtons)
    if (button.id == id)
      controls_.at(id)->setToolTip(whyNot.isEmpty() ? QString(button.tooltip)
                                                    : QString(button.tooltip) + " (" + whyNot + ")");
}

void QtWizardWindow::DecorateControls() {
  for (const TopButton& button : kTopButtons) {
    auto* widget = static_cast<QToolButton*>(controls_.at(button.id));
    widget->setIcon(CommandIcon(button.icon));
    widget->setToolTip(button.tooltip);
  }
  static_cast<QAbstractButton*>(controls_.at(kNextButton))->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
  static_cast<QAbstractButton*>(controls_.at(kBackButton))->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
  for (const int id : {kQuickSearchMode, kAdvancedSearchMode, kRawRecoveryMode, kRawEntireDisk, kRawSectorRange})
    static_cast<QRadioButton*>(controls_.at(id))->setAutoExclusive(false);
  controls_.at(kRawExactSizes)
      ->setToolTip("Size documents and archives by their own structures, so that carved files are whole");
  for (const int id : {1036, 1037}) static_cast<QLineEdit*>(controls_.at(id))->setReadOnly(true);
  static_cast<QLabel*>(controls_.at(kStatusText))->setTextFormat(Qt::PlainText);
  // Where the keyboard is shows on the trees and the top buttons too (each its own sheet:
  // one on the window would restyle its dialogs).
  for (const int id : {kDiskTree, kPartitionTree, kFolderTree})
    controls_.at(id)->setStyleSheet("QTreeWidget:focus { border: 2px solid palette(highlight); }");
  for (const TopButton& button : kTopButtons)
    controls_.at(button.id)->setStyleSheet(
        "QToolButton:focus { border: 1px solid palette(highlight); border-radius: 3px; }");
}

void QtWizardWindow::BuildMenu() {
  std::function<void(QMenu*, const MenuGroup&)> fill = [&](QMenu* menu, const MenuGroup& group) {
    const int position = group.submenuPosition < 0 ? static_cast<int>(group.entries.size()) : group.submenuPosition;
    for (int i = 0; i <= static_cast<int>(group.entries.size()); ++i) {
      if (i == position)
        for (const MenuGroup& sub : group.submenus) fill(menu->addMenu(QString::fromStdString(sub.title)), sub);
      if (i == static_cast<int>(group.entries.size())) break;
      const MenuEntry& entry = group.entries[static_cast<std::size_t>(i)];
      QAction* action = menu->addAction(QString::fromStdString(entry.text));
      action->setObjectName(QString::number(entry.command));
      action->setStatusTip(QString::fromStdString(entry.prompt).trimmed());
      action->setData(QString::fromStdString(entry.prompt));
      if (entry.command == kMenuBalloonHelp) action->setCheckable(true);
      actions_[entry.command] = action;
    }
    menu->setToolTipsVisible(true);  // a greyed item says why
    connect(menu, &QMenu::hovered, this, &QtWizardWindow::ShowMenuBalloon);
    connect(menu, &QMenu::aboutToHide, this, [] { QToolTip::hideText(); });
  };
  for (const MenuGroup& group : MainMenu()) fill(menuBar()->addMenu(QString::fromStdString(group.title)), group);
}

void QtWizardWindow::BuildStatusBar() {
  clock_ = new QLabel(this);
  clock_->setObjectName("clock");
  statusBar()->addPermanentWidget(clock_);
  auto* timer = new QTimer(this);
  const auto tick = [this] {
    const QTime now = QTime::currentTime();
    clock_->setText(QString::fromStdString(ClockText(now.hour(), now.minute())));
  };
  connect(timer, &QTimer::timeout, this, tick);
  tick();
  timer->start(1000);
}

void QtWizardWindow::ShowMenuBalloon(QAction* action) {
  // A submenu's item is reported by the menus above it too: the balloon belongs to the
  // menu that holds the item.
  auto* menu = qobject_cast<QMenu*>(sender());
  if (menu && !menu->actions().contains(action)) return;
  const std::string prompt = action->data().toString().toStdString();
  const QString text = !state_.balloonHelp || !wizard_ || action->menu()
                           ? QString()
                           : QString::fromStdString(wizard_->Language().MenuPrompt(prompt)).trimmed();
  // Nothing to say: the last item's balloon does not stay.
  if (!menu || text.isEmpty()) {
    QToolTip::hideText();
    return;
  }
  const QRect item = menu->actionGeometry(action);
  const BalloonPoint at = MenuBalloonPoint(action->objectName().toInt(), item.left(), item.top(), item.right());
  QToolTip::showText(menu->mapToGlobal(QPoint(at.x, at.y)), text, menu);
}

void QtWizardWindow::Bind(Wizard& wizard, WizardDialogs& dialogs) {
  wizard_ = &wizard;
  dialogs_ = &dialogs;
  // The commands a running worker refuses are greyed while it runs.
  wizard.Workers().SetObserver([this] {
    QMetaObject::invokeMethod(this, [this] { ApplyBusyCommands(); }, Qt::QueuedConnection);
  });
  for (const auto& [id, action] : actions_)
    connect(action, &QAction::triggered, this, [this, id = id] { wizard_->Command(id); });
  ConnectControls();
  ConnectTrees();
  ConnectList();
}

void QtWizardWindow::ConnectControls() {
  for (const int id : {kSaveDataButton, kLoadLogButton, kSaveLogButton, kBrowseButton, kHelpButton, kExitButton, kBackButton,
                       kNextButton, kStopButton, kSearchMoreButton, kRawStartButton, kRawEntireDisk, kRawSectorRange})
    connect(static_cast<QAbstractButton*>(controls_.at(id)), &QAbstractButton::clicked, this,
            [this, id] { wizard_->Command(id); });
  // The box the user ticks is what the wizard reads: its state goes into the model first
  // (the model would otherwise put the old state back on the next refresh).
  connect(static_cast<QAbstractButton*>(controls_.at(kRawExactSizes)), &QAbstractButton::clicked, this,
          [this](bool checked) {
            if (!wizard_->RefusedWhileBusy(kRawExactSizes)) ModelWindow::SetChecked(kRawExactSizes, checked);
            wizard_->Command(kRawExactSizes);
            ApplyControl(kRawExactSizes);
          });
  for (const int id : {kQuickSearchMode, kAdvancedSearchMode, kRawRecoveryMode}) {
    auto* button = static_cast<ModeButton*>(controls_.at(id));
    connect(button, &QAbstractButton::clicked, this, [this, id] { wizard_->ClickMode(id); });
    connect(button, &ModeButton::hovered, this, [this, id, button](QPoint at) {
      const std::string text = wizard_->HoverMode(id);
      if (!text.empty()) QToolTip::showText(at, QString::fromStdString(text), button);
    });
  }
  for (const int id : {kRawStartSector, kRawEndSector})
    connect(static_cast<QLineEdit*>(controls_.at(id)), &QLineEdit::textEdited, this,
            [this, id](const QString& text) { wizard_->EditRawRange(id, text.toStdString()); });
}

void QtWizardWindow::ConnectTrees() {
  for (int i = 0; i < 3; ++i) {
    const TreeId tree = kTreeOfIndex[i];
    QTreeWidget* widget = TreeWidget(tree);
    connect(widget, &QTreeWidget::itemClicked, this, [this, tree](QTreeWidgetItem* item, int) {
      const TreeItemHandle handle = TreeBinder::HandleOf(item);
      if (tree == TreeId::Disk) wizard_->ClickDiskItem(handle);
      if (tree == TreeId::Partition) wizard_->ClickPartitionItem(handle);
      if (tree == TreeId::Folder) wizard_->ClickFolderItem(handle);
    });
    connect(widget, &QTreeWidget::itemExpanded, this, [this, tree](QTreeWidgetItem* item) {
      if (!Binder(tree).Refreshing()) TreeExpand(tree, TreeBinder::HandleOf(item));
    });
  }
  QTreeWidget* folders = TreeWidget(TreeId::Folder);
  connect(folders, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int) {
    if (!Binder(TreeId::Folder).Refreshing()) wizard_->ClickFolderCheck(TreeBinder::HandleOf(item));
  });
  folders->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(folders, &QWidget::customContextMenuRequested, this, [this, folders](QPoint at) {
    if (state_.stage < WizardStage::Catalogue) return;
    QMenu menu;
    QAction* save = menu.addAction("Save");
    menu.setDefaultAction(save);
    if (menu.exec(folders->viewport()->mapToGlobal(at)) == save) wizard_->SaveFromTree();
  });
}

void QtWizardWindow::ConnectList() {
  auto* view = static_cast<QTableView*>(controls_.at(kDetailsList));
  connect(view, &QTableView::doubleClicked, this,
          [this](const QModelIndex& index) { wizard_->OpenListRow(static_cast<std::size_t>(index.row())); });
  view->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(view, &QWidget::customContextMenuRequested, this, [this, view](QPoint at) {
    if (state_.stage < WizardStage::Catalogue || !view->selectionModel()->hasSelection()) return;
    QMenu menu;
    QAction* save = menu.addAction("Save");
    menu.setDefaultAction(save);
    if (menu.exec(view->viewport()->mapToGlobal(at)) == save) wizard_->SaveFromList();
  });
  connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection& selected, const QItemSelection& deselected) {
            if (applyingSelection_) return;
            // By ranges, not by cells: selecting every row of a huge folder stays one step.
            for (const QItemSelectionRange& range : deselected)
              ListSetRowsSelected(kDetailsList, static_cast<std::size_t>(range.top()),
                                  static_cast<std::size_t>(range.bottom()), false);
            for (const QItemSelectionRange& range : selected)
              ListSetRowsSelected(kDetailsList, static_cast<std::size_t>(range.top()),
                                  static_cast<std::size_t>(range.bottom()), true);
          });
  // A click on a heading orders the folder's rows by that column; a second click reverses.
  QHeaderView* header = view->horizontalHeader();
  header->setSectionsClickable(true);
  connect(header, &QHeaderView::sectionClicked, this, [this, header](int column) {
    const ListModel& shown = lists_.at(kDetailsList)->Snapshot();
    const bool descending = shown.SortColumn() == column && !shown.SortDescending();
    // The header turns its indicator by itself: a refused order puts it back.
    if (!wizard_->SortList(static_cast<std::size_t>(column), descending)) ShowSortIndicator(header, shown);
  });
}

void QtWizardWindow::OnChanged(const WindowChange& change) {
  {
    std::lock_guard lock(pendingMutex_);
    switch (change.kind) {
      case WindowChange::Kind::List: pendingLists_.insert(change.id); break;
      case WindowChange::Kind::Tree: pendingTrees_.insert(change.id); break;
      case WindowChange::Kind::View: pendingView_ = change.id; break;
      default: pendingControls_.insert(change.id); break;
    }
    if (refreshQueued_) return;
    refreshQueued_ = true;
  }
  QMetaObject::invokeMethod(this, [this] { RefreshNow(); }, Qt::QueuedConnection);
}

void QtWizardWindow::ApplyAll() {
  for (const TemplateControl& placed : TemplateControls()) ApplyControl(placed.id);
  for (const auto& [id, action] : actions_) ApplyControl(id);
  RefreshNow();
}

void QtWizardWindow::RefreshNow() {
  std::set<int> controls, lists, trees;
  int view = -1;
  {
    std::lock_guard lock(pendingMutex_);
    controls.swap(pendingControls_);
    lists.swap(pendingLists_);
    trees.swap(pendingTrees_);
    std::swap(view, pendingView_);
    refreshQueued_ = false;
  }
  for (const int id : trees) ApplyTree(static_cast<TreeId>(id));
  for (const int id : lists) ApplyList(id);
  for (const int id : controls) ApplyControl(id);
  // The step may have changed with these controls: the shared commands follow it.
  ApplyStepCommands();
  if (view >= 0) FocusView(static_cast<WizardView>(view));
}

void QtWizardWindow::FocusView(WizardView view) {
  // The control a view is for takes the keyboard, as a click on Next by Alt+N leaves it:
  // the disks at the first step, the partitions, the folders, the raw recovery kinds.
  int id = 0;
  switch (view) {
    case WizardView::FirstStep:
    case WizardView::RawRecoveryLeft: id = kDiskTree; break;
    case WizardView::PartitionList:
    case WizardView::BackToPartitions:
    case WizardView::MoreSearchDone: id = kPartitionTree; break;
    case WizardView::CatalogueShown: id = kFolderTree; break;
    case WizardView::RawRecoveryPanel: id = kRawFileTypesList; break;
    default: return;
  }
  QWidget* widget = controls_.at(id);
  if (widget->isVisible() && widget->isEnabled()) widget->setFocus(Qt::OtherFocusReason);
}

void QtWizardWindow::ApplyBusyCommands() {
  for (const int id : kBusyRefusedControls) ApplyControl(id);
  ApplyStepCommands();
}

void QtWizardWindow::ApplyStepCommands() {
  for (const int id : StepCommands()) ApplyControl(id);
}

void QtWizardWindow::ApplyControl(int id) {
  ControlState control = Control(id);
  if (wizard_ && wizard_->RefusedWhileBusy(id)) control.enabled = false;
  // The menu item and its top button are enabled together, by what the step allows; a
  // greyed one says why in its tooltip.
  QString whyNot;
  if (IsStepCommand(id)) {
    const CommandState command = wizard_ ? wizard_->CommandStateOf(id) : CommandState{false, kBusyReason};
    control.enabled = command.enabled;
    whyNot = QString::fromStdString(command.reason);
  }
  if (QAction* action = CommandAction(id)) {
    action->setEnabled(control.enabled);
    action->setToolTip(whyNot);
    if (action->isCheckable()) action->setChecked(control.checked);
    return;
  }
  QWidget* widget = ControlWidget(id);
  if (!widget) return;
  widget->setHidden(!control.shown || !FrameShown(id));
  widget->setEnabled(control.enabled);
  if (IsStepCommand(id)) ShowButtonTooltip(id, whyNot);
  const QString text = QString::fromStdString(control.text);
  if (id == kStepPicture) {
    if (shownPictures_[id] != text) {
      shownPictures_[id] = text;
      static_cast<QLabel*>(widget)->setPixmap(QPixmap(text));
    }
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    if (label->text() != text) label->setText(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    if (!button->icon().isNull() && text.isEmpty()) {
    } else if (button->text() != text) {
      button->setText(text);
    }
    if (button->isCheckable()) button->setChecked(control.checked);
  } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    group->setTitle(text);
    for (const TemplateControl& placed : TemplateControls())
      if (placed.frame == id) ApplyControl(placed.id);
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    if (edit->text() != text && !edit->hasFocus()) edit->setText(text);
  } else if (auto* bar = qobject_cast<QProgressBar*>(widget)) {
    bar->setValue(control.progress);
  }
}

bool QtWizardWindow::FrameShown(int id) const {
  for (const TemplateControl& placed : TemplateControls())
    if (placed.id == id && placed.frame != 0) return Control(placed.frame).shown;
  return true;
}

void QtWizardWindow::ApplyList(int id) {
  const auto found = lists_.find(id);
  if (found == lists_.end()) return;
  ListTableModel* model = found->second;
  auto* view = static_cast<QAbstractItemView*>(controls_.at(id));
  const bool reset = model->Refresh(List(id));
  const ListModel& list = model->Snapshot();
  auto* table = qobject_cast<QTableView*>(view);
  if (reset && table) FitListColumns(table, list);
  // The engines' selection marks are the view's selection.
  applyingSelection_ = true;
  QItemSelection selection;
  const int lastColumn = std::max(0, model->columnCount() - 1);
  const int rows = model->rowCount();
  // One range per run of selected rows: a selection of a million rows is one range.
  for (int first = 0; first < rows; ++first) {
    if (!list.RowSelected(static_cast<std::size_t>(first))) continue;
    int last = first;
    while (last + 1 < rows && list.RowSelected(static_cast<std::size_t>(last) + 1)) ++last;
    selection.select(model->index(first, 0), model->index(last, lastColumn));
    first = last;
  }
  view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  applyingSelection_ = false;
  if (id == kDetailsList) ShowSortIndicator(table->horizontalHeader(), list);
}

void QtWizardWindow::ApplyTree(TreeId tree) { Binder(tree).Refresh(Tree(tree)); }

void QtWizardWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (wizard_) wizard_->Exit();
}

bool QtWizardWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !wizard_) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != this || QApplication::activeModalWidget()) return false;
  return FilterKey(static_cast<QKeyEvent*>(event));
}

bool QtWizardWindow::FilterKey(QKeyEvent* key) {
  QTreeWidget* folders = TreeWidget(TreeId::Folder);
  auto* list = static_cast<QTableView*>(controls_.at(kDetailsList));
  const bool catalogue = state_.stage == WizardStage::Catalogue;
  switch (key->key()) {
    case Qt::Key_Tab:
      if (!catalogue) return false;
      if (folders->hasFocus())
        list->setFocus(Qt::TabFocusReason);
      else
        folders->setFocus(Qt::TabFocusReason);
      return true;
    case Qt::Key_Space:
      // On a disk or a partition, as a click on its label; elsewhere the control's own.
      return ChooseFocusedItem();
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (ChooseFocusedItem()) return true;
      if (catalogue && folders->hasFocus() && folders->currentItem())
        wizard_->ClickFolderItem(TreeBinder::HandleOf(folders->currentItem()));
      else if (catalogue && list->hasFocus() && list->currentIndex().isValid())
        wizard_->OpenListRow(static_cast<std::size_t>(list->currentIndex().row()), /*upperCase=*/true);
      return true;
    case Qt::Key_Escape: return true;
    case Qt::Key_F6:
      if (state_.stage == WizardStage::Partitions) TreeWidget(TreeId::Partition)->setFocus(Qt::ShortcutFocusReason);
      return false;
    case Qt::Key_F7:
      list->setFocus(Qt::ShortcutFocusReason);
      if (list->model()->rowCount() > 0) list->setCurrentIndex(list->model()->index(0, 0));
      return false;
    default: return false;
  }
}

bool QtWizardWindow::ChooseFocusedItem() {
  for (const TreeId tree : {TreeId::Disk, TreeId::Partition}) {
    QTreeWidget* widget = TreeWidget(tree);
    if (!widget->hasFocus() || !widget->currentItem()) continue;
    const TreeItemHandle handle = TreeBinder::HandleOf(widget->currentItem());
    if (tree == TreeId::Disk)
      wizard_->ClickDiskItem(handle);
    else
      wizard_->ClickPartitionItem(handle);
    return true;
  }
  return false;
}

template <typename Answer, typename Show>
Answer QtWizardWindow::Dialog(Answer ifClosing, Show show) {
  if (QThread::currentThread() == thread()) {
    if (closing_) return ifClosing;
    ++ownDialogs_;
    const Answer answer = show();
    --ownDialogs_;
    return answer;
  }
  // Looked at on the GUI thread, where the user's dialogs open: no race with one opening.
  for (;;) {
    if (closing_) return ifClosing;
    const std::optional<Answer> answer = OnGuiThread(this, [&]() -> std::optional<Answer> {
      if (closing_) return ifClosing;
      if (ownDialogs_ > 0) return std::nullopt;
      return show();
    });
    if (answer) return *answer;
    QThread::msleep(20);
  }
}

void QtWizardWindow::ShowMessage(const std::string& text) {
  Dialog(true, [&] {
    InformationBox(this, text);
    return true;
  });
}

bool QtWizardWindow::AskYesNo(const std::string& text) {
  return Dialog(false, [&] { return QuestionBox(this, text); });
}

bool QtWizardWindow::SystemMessage(const std::string& text, SystemIcon icon) {
  return Dialog(icon != SystemIcon::Question, [&] { return SystemBox(this, text, icon); });
}

bool QtWizardWindow::AskAboutRun(const std::string& text, const std::function<bool()>& runGoesOn) {
  return Dialog(false, [&] { return runGoesOn() && QuestionBox(this, text, runGoesOn); });
}

BadSectorAnswer QtWizardWindow::AskBadSector(const BadSectorQuestion& question) {
  return Dialog(BadSectorAnswer::SkipAll, [&] { return BadSectorDialog(this, BadSectorDetails(question)); });
}

void QtWizardWindow::RunOnWindowThread(const std::function<void()>& fn) {
  // An exception (an allocation failure) must not cross Qt's event loop: it is carried back
  // to the worker that asked, whose run it ends.
  std::exception_ptr failure;
  OnGuiThread(this, [&] {
    try {
      fn();
    } catch (...) {
      failure = std::current_exception();
    }
  });
  if (failure) std::rethrow_exception(failure);
}

ReplaceAnswer QtWizardWindow::AskReplaceFile(const std::string& path) {
  return Dialog(ReplaceAnswer::NoToAll, [&] { return ReplaceDialog(this, path); });
}

WriteErrorAnswer QtWizardWindow::AskWriteError(const std::string& path) {
  return Dialog(WriteErrorAnswer::Abort, [&] { return WriteErrorDialog(this, path); });
}

std::string QtWizardWindow::AskDestinationFolder() {
  return OnGuiThread(this, [&] {
    return FileSavingDialog(this, [this] {
      if (dialogs_) dialogs_->RunSettingsDialog();
    });
  });
}

std::string QtWizardWindow::AskFilePath(FileDialogKind kind, const std::string& filter) {
  return OnGuiThread(this, [&] {
    const QString files = QString::fromStdString(filter);
    if (kind == FileDialogKind::Save)  // asks before replacing an existing file
      return QFileDialog::getSaveFileName(this, "Save Log", QString(), files).toStdString();
    const QStringList paths = QFileDialog::getOpenFileNames(this, "Load Log", QString(), files);
    return paths.isEmpty() ? std::string() : paths.back().toStdString();
  });
}

void QtWizardWindow::OpenDocument(const std::string& path) {
  OnGuiThread(this, [&] {
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path))))
      InformationBox(this, "No program on this desktop opens " + path);
  });
}

}  // namespace vantrel::qt
