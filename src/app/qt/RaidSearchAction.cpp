#include "app/qt/RaidSearchAction.h"

#include <QApplication>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <atomic>

#include "app/RaidArraySearch.h"
#include "app/Wizard.h"
#include "app/WizardState.h"
#include "app/qt/QtWizardWindow.h"

namespace vantrel::qt {

namespace {

// The search's progress in a dialog whose Cancel stops it; the search runs on the window's
// thread, which this keeps answering.
class DialogProgress : public RaidSearchProgress {
 public:
  DialogProgress(QProgressDialog& dialog, std::atomic<int>& stop) : dialog_(dialog), stop_(stop) {}
  void OnScanned(std::uint64_t bytes, std::uint64_t total) override { Show("Reading the disks", bytes, total); }
  void OnTried(std::uint64_t tried, std::uint64_t total) override { Show("Trying arrays", tried, total); }

 private:
  void Show(const char* text, std::uint64_t part, std::uint64_t whole) {
    dialog_.setLabelText(text);
    dialog_.setValue(whole == 0 ? 100 : static_cast<int>(std::min<std::uint64_t>(part * 100 / whole, 100)));
    QApplication::processEvents();
    if (dialog_.wasCanceled()) stop_.store(1);
  }
  QProgressDialog& dialog_;
  std::atomic<int>& stop_;
};

}  // namespace

RaidSearchAction::RaidSearchAction(QtWizardWindow& window, Wizard& wizard, WizardState& state)
    : QObject(&window), window_(window), wizard_(wizard), state_(state) {
  const QList<QAction*> menus = window.menuBar()->actions();
  if (menus.isEmpty() || menus.front()->menu() == nullptr) return;
  QMenu* options = menus.front()->menu();
  QAction* first = options->actions().isEmpty() ? nullptr : options->actions().front();
  auto* search = new QAction("Search for &RAID Arrays...", options);
  search->setObjectName("searchRaidArrays");
  search->setStatusTip("Find the md arrays the listed disks made when their RAID superblocks are gone");
  options->insertAction(first, search);
  connect(search, &QAction::triggered, this, [this] { SearchAndChoose(); });
}

void RaidSearchAction::SearchAndChoose() {
  if (wizard_.Busy()) {
    window_.ShowMessage("Wait until the running search or save has finished, or stop it, to search for arrays.");
    return;
  }
  std::atomic<int> stop = 0;
  QProgressDialog dialog("Reading the disks", "Stop", 0, 100, &window_);
  dialog.setWindowTitle("RAID Search");
  dialog.setWindowModality(Qt::WindowModal);
  dialog.setMinimumDuration(0);
  DialogProgress progress(dialog, stop);
  const RaidSearchChoices choices = SearchRaidArraysOfGivenDisks(state_, StopToken(stop), progress);
  dialog.close();
  if (choices.rows.empty()) {
    window_.ShowMessage(choices.message);
    return;
  }
  QStringList rows;
  for (const std::string& row : choices.rows) rows << QString::fromStdString(row);
  bool chosen = false;
  const QString row = QInputDialog::getItem(&window_, "RAID Arrays Found",
                                            "The arrays on which a ReiserFS volume holds together, best first.\n"
                                            "The one chosen is listed as a further disk:",
                                            rows, 0, false, &chosen);
  if (!chosen) return;
  const auto index = static_cast<std::size_t>(rows.indexOf(row));
  const DiskListChange change = AddArrayByHand(state_, wizard_.Busy(), choices.arrays.at(index));
  window_.RefreshNow();
  if (!change.message.empty()) window_.ShowMessage(change.message);
}

}  // namespace vantrel::qt
