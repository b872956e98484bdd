#include "app/qt/DiskImageActions.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTreeWidget>
#include <QUrl>

#include "app/DiskImages.h"
#include "app/Wizard.h"
#include "app/WizardState.h"
#include "app/WizardViews.h"
#include "app/qt/QtWizardWindow.h"

namespace vantrel::qt {

namespace {

// The local files a drag carries.
std::vector<std::string> DroppedFiles(const QMimeData* data) {
  std::vector<std::string> paths;
  if (data == nullptr) return paths;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
  return paths;
}

}  // namespace

DiskImageActions::DiskImageActions(QtWizardWindow& window, Wizard& wizard, WizardState& state)
    : QObject(&window), window_(window), wizard_(wizard), state_(state) {
  const QList<QAction*> menus = window.menuBar()->actions();
  if (!menus.isEmpty() && menus.front()->menu() != nullptr) {
    QMenu* options = menus.front()->menu();
    QAction* first = options->actions().isEmpty() ? nullptr : options->actions().front();
    auto* open = new QAction(QString::fromUtf8("&Open Disk Image\u2026"), options);
    open->setObjectName("openDiskImage");
    open->setStatusTip("Add a disk image file (raw, split, E01, qcow2, VMDK, VHD, VHDX) to the disk list");
    auto* remove = new QAction("&Remove Disk Image", options);
    remove->setObjectName("removeDiskImage");
    remove->setStatusTip("Take the chosen disk image off the disk list");
    options->insertActions(first, {open, remove});
    options->insertSeparator(first);
    connect(open, &QAction::triggered, this, [this] { OpenFromDialog(); });
    connect(remove, &QAction::triggered, this, [this] { RemoveChosen(); });
  }
  QTreeWidget* disks = window.TreeWidget(TreeId::Disk);
  disks->setAcceptDrops(true);
  disks->viewport()->setAcceptDrops(true);
  disks->viewport()->installEventFilter(this);
  disks->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(disks, &QWidget::customContextMenuRequested, this, [this, disks](QPoint at) {
    QTreeWidgetItem* item = disks->itemAt(at);
    if (item == nullptr || !item->text(0).startsWith("Disk")) return;
    const std::size_t disk = DiskIndexFromLabel(item->text(0).toStdString());
    if (!IsListedImage(state_, disk)) return;
    QMenu menu;
    QAction* remove = menu.addAction("Remove from the disk list");
    if (menu.exec(disks->viewport()->mapToGlobal(at)) != remove) return;
    Show(RemoveDiskImage(state_, wizard_.Busy(), disk).message);
  });
}

void DiskImageActions::Show(const std::string& message) {
  window_.RefreshNow();
  if (!message.empty()) window_.ShowMessage(message);
}

void DiskImageActions::Add(const std::vector<std::string>& paths) {
  if (!paths.empty()) Show(AddDiskImages(state_, wizard_.Busy(), paths).message);
}

void DiskImageActions::OpenFromDialog() {
  const QStringList chosen = QFileDialog::getOpenFileNames(&window_, "Open Disk Image", QString(),
                                                           QString::fromUtf8(kDiskImageFilter));
  std::vector<std::string> paths;
  for (const QString& path : chosen) paths.push_back(path.toStdString());
  Add(paths);
}

void DiskImageActions::RemoveChosen() {
  const std::string& label = state_.disks.selectedLabel;
  if (label.rfind("Disk", 0) != 0) {
    Show("Choose the disk image to remove in the disk list first.");
    return;
  }
  Show(RemoveDiskImage(state_, wizard_.Busy(), DiskIndexFromLabel(label)).message);
}

bool DiskImageActions::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
    auto* drag = static_cast<QDropEvent*>(event);
    if (DroppedFiles(drag->mimeData()).empty()) return QObject::eventFilter(watched, event);
    drag->acceptProposedAction();
    return true;
  }
  if (event->type() == QEvent::Drop) {
    auto* drop = static_cast<QDropEvent*>(event);
    const std::vector<std::string> paths = DroppedFiles(drop->mimeData());
    if (paths.empty()) return QObject::eventFilter(watched, event);
    drop->acceptProposedAction();
    Add(paths);
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace vantrel::qt
