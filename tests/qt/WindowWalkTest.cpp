// A seeded random walk through the real window: disks, modes, partitions, Next, Back, Stop,
// the menu commands and the top buttons (Load Log and Save Log with their file dialogs among
// them), every dialog answered at random, workers left to run while the walk goes on. After
// each step the window must still stand; whenever no worker runs and no dialog is open, what
// it shows must be the step it is at: its controls, its value fields (compared with the
// wizard's state and the disk's own size), each shared command greyed or not in the menu and
// on its top button alike as the step allows, and the keyboard focus on a control the user
// can reach. After a run that was stopped, no file is left cut short: the carved files are
// the ones the runs reported, each of its size, the one being written at the Stop is gone,
// and every saved file the disk's manifest names is the disk's file byte for byte; a
// stopped catalogue says so in its search field for as long as it is shown.
//
// The walk's disk is mbr-mixed with the documents and archives of carve-mixed after it, so
// that raw recovery finds files to carve (some larger than what it copies between looks at
// Stop) and the searches find the same partitions.
//
// VANTREL_WALK_SEED and VANTREL_WALK_STEPS run one long walk (scripts/window-walk.sh).

#include <QDesktopServices>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QTableView>
#include <QUrl>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <regex>
#include <set>

#include "app/RecoveryLogCommands.h"
#include "app/ValueFields.h"
#include "base/ByteCountText.h"
#include "carving/RawRecoveryState.h"
#include "qt/WindowFixture.h"

namespace vantrel::test {
namespace {

// Keeps the desktop's programs out of the walk: files handed over to be opened go nowhere.
class NoDesktop : public QObject {
  Q_OBJECT
 public:
  NoDesktop() { QDesktopServices::setUrlHandler("file", this, "Open"); }
  ~NoDesktop() override { QDesktopServices::unsetUrlHandler("file"); }

 public slots:
  void Open(const QUrl&) {}
};

constexpr int kWalkCommands[] = {kMenuSave,       kMenuSaveSettings, kMenuDirectoryView, kMenuExit,
                                 kMenuUpdate,     kMenuViewReport,   kMenuSupportOnline, kMenuBalloonHelp,
                                 kMenuAbout,      kMenuHelpContents, kSaveDataButton,    kHelpButton,
                                 kExitButton,     kSearchMoreButton, kRawStartButton,    kRawEntireDisk,
                                 kRawSectorRange, kRawExactSizes,    kMenuLoadLog,       kLoadLogButton,
                                 kMenuSaveLog,    kSaveLogButton};
// Polls of the answering timer after which a file dialog still open is answered again (a
// "No" to its question about replacing a file leaves it open).
constexpr int kFileDialogPatience = 50;

class WindowWalk : public WindowFixture {
 protected:
  // Answers whatever dialog comes up, at random; the exit question always with No.
  void AnswerDialogs() {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog) return;
    if (dialog->property("answered").toBool()) {
      if (!qobject_cast<QFileDialog*>(dialog)) return;
      const int polls = dialog->property("polls").toInt() + 1;
      dialog->setProperty("polls", polls);
      if (polls < kFileDialogPatience) return;
      dialog->setProperty("polls", 0);
    }
    const QString name = dialog->objectName();
    if (name == "Saving" || name == "CalculatingFileSize") {
      // Left to close by themselves, or stopped.
      if (Chance(10)) {
        dialog->setProperty("answered", true);
        if (auto* stop = dialog->findChild<QAbstractButton*>("1")) QTimer::singleShot(0, stop, &QAbstractButton::click);
      }
      return;
    }
    dialog->setProperty("answered", true);
    ++dialogs_;
    QTimer::singleShot(0, dialog, [this, dialog, name] { Answer(dialog, name); });
  }
  void Answer(QWidget* dialog, const QString& name) {
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
      NoteSummary(box->text().toStdString());
      const QList<QAbstractButton*> buttons = box->buttons();
      if (box->text().contains("exit", Qt::CaseInsensitive)) {
        for (QAbstractButton* button : buttons)
          if (box->buttonRole(button) == QMessageBox::NoRole) return button->click();
        return box->reject();
      }
      if (buttons.isEmpty()) return box->reject();
      return buttons[Pick(buttons.size())]->click();
    }
    if (name == "RecoveryMode") {
      dialog->findChild<QRadioButton*>(Chance(50) ? "quick" : "advanced")->click();
      return dialog->findChild<QAbstractButton*>(Chance(85) ? "1" : "2")->click();
    }
    if (name == "FileSaving") {
      if (Chance(70)) {
        const std::string out = (temp_.Path() / ("out-" + std::to_string(Pick(3)))).string();
        dialog->findChild<QLineEdit*>("1005")->setText(QString::fromStdString(out));
        return dialog->findChild<QAbstractButton*>("1")->click();
      }
      return dialog->findChild<QAbstractButton*>("2")->click();
    }
    if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
      if (Chance(60)) {
        // The log written at the start, one the walk saved, or a file that is no log.
        const int pick = Pick(4);
        const fs::path path = pick == 0   ? temp_.Path() / "JUNK.SAV"
                              : pick == 1 ? temp_.Path() / ("walk-" + std::to_string(Pick(3)) + ".SAV")
                                          : fs::path(logPath_);
        files->selectFile(QString::fromStdString(path.string()));
        return static_cast<QDialog*>(files)->accept();
      }
      return files->reject();
    }
    if (auto* other = qobject_cast<QDialog*>(dialog)) other->reject();
  }

  // A run's summary: what a carve wrote is noted (its run is over, its report final), and
  // a stopped run's files are looked at when the window is next at rest.
  void NoteSummary(const std::string& text) {
    if (text.starts_with("Raw recovery")) {
      const RawRecoveryReport& report = app_->state.rawRecovery.report;
      for (const CarvedFile& file : report.files) carved_[file.path] = file.bytes;
      if (!report.removedFile.empty()) carved_.erase(report.removedFile);
    }
    if (text.starts_with("Raw recovery stopped.") || text.starts_with("Saving stopped.")) ++stoppedRuns_;
  }

  // The saved path of every file of the disk's ReiserFS partitions, with its digests.
  void ReadManifest() {
    const nlohmann::json manifest = FixtureManifest("mbr-mixed");
    for (const int index : {1, 5}) {
      const nlohmann::json partition = ManifestPartition(manifest, index);
      for (const auto& entry : partition["entries"])
        if (entry["kind"] == "file") savedDigests_[SavedPath(entry["path"])].insert(entry["sha256"].get<std::string>());
    }
  }

  // What the stopped runs left in the walk's destinations: nothing cut short.
  void CheckNoFileCutShort(const std::string& trail) {
    const RawRecoveryReport& report = app_->state.rawRecovery.report;
    if (!report.removedFile.empty()) {
      ASSERT_FALSE(fs::exists(report.removedFile)) << trail << " left " << report.removedFile;
    }
    static const std::regex carvedName("[A-Z]+[0-9]+\\.[A-Z]+");
    for (int n = 0; n < 3; ++n) {
      const fs::path out = temp_.Path() / ("out-" + std::to_string(n));
      if (!fs::is_directory(out)) continue;
      for (const auto& file : fs::recursive_directory_iterator(out)) {
        if (!file.is_regular_file()) continue;
        const std::string path = file.path().string();
        const std::string relative = fs::relative(file.path(), out).string();
        if (const auto carved = carved_.find(path); carved != carved_.end()) {
          ASSERT_EQ(file.file_size(), carved->second) << trail << " carved " << path;
        } else if (const auto saved = savedDigests_.find(relative); saved != savedDigests_.end()) {
          ASSERT_TRUE(saved->second.contains(Sha256OfFile(path))) << trail << " saved " << path;
        } else {
          // Not a file of the manifest's (one only an advanced build finds), nor one a run
          // reported: no carve may leave such a file.
          ASSERT_FALSE(file.path().parent_path() == out &&
                       std::regex_match(file.path().filename().string(), carvedName))
              << trail << " unreported " << path;
        }
      }
    }
  }

  bool Chance(int percent) { return std::uniform_int_distribution<int>(0, 99)(random_) < percent; }
  template <typename N>
  N Pick(N count) {
    return static_cast<N>(std::uniform_int_distribution<long long>(0, static_cast<long long>(count) - 1)(random_));
  }
  TreeItemHandle AnyItem(TreeId tree) {
    const TreeModel model = app_->window.Tree(tree);
    std::vector<TreeItemHandle> items;
    std::vector<TreeItemHandle> pending{model.Root()};
    while (!pending.empty()) {
      const TreeItemHandle at = pending.back();
      pending.pop_back();
      if (at == kNoTreeItem) continue;
      items.push_back(at);
      for (const TreeItemHandle child : model.Children(at)) pending.push_back(child);
    }
    return items.empty() ? kNoTreeItem : items[Pick(items.size())];
  }
  void ClickIfShown(TreeId tree) {
    QTreeWidget* widget = app_->window.TreeWidget(tree);
    QTreeWidgetItem* item = app_->window.Binder(tree).ItemOf(AnyItem(tree));
    if (!item || !widget->isVisible()) return;
    widget->scrollToItem(item);
    const QRect at = widget->visualItemRect(item);
    if (tree == TreeId::Folder && Chance(30)) {
      // Its check box, at the left of the item.
      item->setCheckState(0, item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
      return;
    }
    QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, at.center());
  }
  void PressButton(int id) {
    auto* button = qobject_cast<QAbstractButton*>(Control(id));
    if (button && button->isVisible() && button->isEnabled()) button->click();
  }

  // One user action.
  std::string Step() {
    switch (Pick(12)) {
      case 0: ClickIfShown(TreeId::Disk); return "disk";
      case 1: {
        const int mode = kQuickSearchMode + Pick(3);
        if (Control(mode)->isVisible() && Control(mode)->isEnabled()) {
          const QPointF at(5, 5);
          QEnterEvent enter(at, at, Control(mode)->mapToGlobal(at));
          QApplication::sendEvent(Control(mode), &enter);
        }
        return "mode " + std::to_string(mode);
      }
      case 2:
      case 3: PressButton(kNextButton); return "next";
      case 4: PressButton(kBackButton); return "back";
      case 5: ClickIfShown(TreeId::Partition); return "partition";
      case 6: ClickIfShown(TreeId::Folder); return "folder";
      case 7: PressButton(kStopButton); return "stop";
      case 8: {
        auto* list = static_cast<QTableView*>(Control(kDetailsList));
        const int rows = list->model()->rowCount();
        if (list->isVisible() && Chance(20)) {
          // A heading: the rows ordered by its column.
          QHeaderView* header = list->horizontalHeader();
          const int column = Pick(std::max(1, header->count()));
          QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                            QPoint(header->sectionViewportPosition(column) + 3, header->height() / 2));
          return "heading";
        }
        if (rows > 0 && list->isVisible()) {
          const QModelIndex index = list->model()->index(Pick(rows), 0);
          list->scrollTo(index);
          const QPoint at = list->visualRect(index).center();
          if (Chance(50))
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
          else
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        }
        return "list";
      }
      case 9: {
        auto* kinds = static_cast<QAbstractItemView*>(Control(kRawFileTypesList));
        if (kinds->isVisible() && kinds->model()->rowCount() > 0) {
          const QModelIndex index = kinds->model()->index(Pick(kinds->model()->rowCount()), 0);
          kinds->model()->setData(index, Chance(50) ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
        }
        return "raw kind";
      }
      default: {
        const int id = kWalkCommands[Pick(std::size(kWalkCommands))];
        if (QAction* action = app_->window.CommandAction(id)) {
          if (action->isEnabled()) action->trigger();
        } else {
          PressButton(id);
        }
        return "command " + std::to_string(id);
      }
    }
  }

  // The value fields say what the wizard's state holds now, never what it held before.
  void CheckValueFields(const std::string& trail) {
    const WizardState& state = app_->state;
    const WizardStage stage = state.stage;
    const bool raw = state.recoveryMode == RecoveryMode::RawRecovery;
    const auto text = [&](int id) { return app_->window.ControlText(id); };
    const auto range = [](std::uint64_t first, std::uint64_t count) {
      return count == 0 ? std::string() : std::to_string(first) + " - " + std::to_string(first + count - 1);
    };
    if (!state.disks.selectedLabel.empty()) {
      ASSERT_EQ(text(kSelectedDiskValue), "Disk0 (" + ByteCountText(fs::file_size(imagePath_)) + ")") << trail;
    }
    ASSERT_EQ(text(kModeValue), ModeText(state.recoveryMode)) << trail;
    const bool catalogue = stage == WizardStage::Catalogue;
    if (stage == WizardStage::DiskAndMode) {
      ASSERT_EQ(text(kRangeValue), "") << trail;
    } else if (raw && !catalogue) {
      ASSERT_EQ(text(kRangeValue), range(0, fs::file_size(imagePath_) / 512)) << trail;
    } else {
      ASSERT_EQ(text(kRangeValue),
                range(state.currentPartition.partitionStartSector, state.currentPartition.sizeSectors))
          << trail;
    }
    const bool searched = stage != WizardStage::DiskAndMode && !(raw && !catalogue);
    ASSERT_EQ(text(kBootSectorsValue), searched ? std::to_string(state.partitionTable.count) : "") << trail;
    ASSERT_EQ(text(kDirectoriesValue), catalogue ? std::to_string(state.catalogue.folderList.size()) : "") << trail;
    ASSERT_EQ(text(kFileSystemValue).empty(), !catalogue) << trail;
    // A stopped search says so for as long as its catalogue is shown.
    ASSERT_EQ(text(kSearchModeValue), catalogue ? SearchModeText(state.fileSearchKind, state.catalogue.stopped) : "")
        << trail;
  }

  // A command the menu and a top button share is greyed in both or in neither, as the step
  // allows: a catalogue's commands with a catalogue shown, Load Log before one and outside
  // raw recovery.
  void CheckSharedCommands(const std::string& trail) {
    const WizardState& state = app_->state;
    const bool catalogue = state.stage == WizardStage::Catalogue;
    const bool load = !catalogue && state.recoveryMode != RecoveryMode::RawRecovery;
    struct Shared {
      int menu;
      int button;  // 0: the menu's alone
      bool allowed;
    };
    const Shared shared[] = {{kMenuSave, kSaveDataButton, catalogue}, {kMenuSaveLog, kSaveLogButton, catalogue},
                             {kMenuBrowse, kBrowseButton, catalogue}, {kMenuLoadLog, kLoadLogButton, load},
                             {kMenuSaveSettings, 0, catalogue},       {kMenuDirectoryView, 0, catalogue},
                             {kMenuDirectoryPrint, 0, catalogue},     {kMenuDirectoryEmail, 0, catalogue}};
    for (const Shared& command : shared) {
      QAction* action = app_->window.CommandAction(command.menu);
      ASSERT_EQ(action->isEnabled(), command.allowed) << trail << " menu " << command.menu;
      // A greyed item says why (an enabled one shows its own text, as an action without a
      // tooltip does).
      const QString ownText = action->iconText();
      ASSERT_EQ(action->toolTip() == ownText, command.allowed) << trail << " menu " << command.menu;
      if (command.button != 0) {
        ASSERT_EQ(Control(command.button)->isEnabled(), command.allowed) << trail << " button " << command.button;
      }
    }
  }

  // The keyboard is on a control the user can reach: shown and enabled.
  void CheckFocus(const std::string& trail) {
    QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != &app_->window) return;
    ASSERT_TRUE(focus->isVisible() && focus->isEnabled()) << trail << " focus on " << focus->objectName().toStdString();
  }

  bool Quiet() const { return !app_->wizard.Workers().AnyRunning() && !QApplication::activeModalWidget(); }
  // Waits for the window to be at rest. A carve under way may be stopped on the way, at a
  // moment drawn at random, so that Stops land anywhere in a run, in the middle of a file
  // too, not only in its first steps.
  void Settle() {
    const auto now = std::chrono::steady_clock::now();
    const auto limit = now + std::chrono::seconds(30);
    const auto stopAt = now + std::chrono::milliseconds(Pick(600));
    bool stopped = !Chance(30);
    while (!Quiet() && std::chrono::steady_clock::now() < limit) {
      if (!stopped && std::chrono::steady_clock::now() >= stopAt && app_->state.rawRecovery.running.load() &&
          !QApplication::activeModalWidget()) {
        stopped = true;
        PressButton(kRawStartButton);  // Stop; its question is answered at random
      }
      QTest::qWait(2);
    }
  }

  // What the window shows at rest is the step it is at.
  void CheckAtRest(const std::string& trail) {
    app_->window.RefreshNow();
    const WizardStage stage = app_->state.stage;
    const bool raw = app_->state.recoveryMode == RecoveryMode::RawRecovery;
    const auto shown = [&](int id) { return Control(id) ? Control(id)->isVisible() : false; };
    const bool diskTree = app_->window.TreeWidget(TreeId::Disk)->isVisible();
    const bool partitionTree = app_->window.TreeWidget(TreeId::Partition)->isVisible();
    const bool folderTree = app_->window.TreeWidget(TreeId::Folder)->isVisible();
    ASSERT_GE(stage, WizardStage::DiskAndMode) << trail;
    ASSERT_LE(stage, WizardStage::Catalogue) << trail;
    if (stage == WizardStage::DiskAndMode) {
      ASSERT_TRUE(diskTree && !partitionTree && !folderTree) << trail;
      ASSERT_FALSE(shown(kRawStartButton)) << trail;
      ASSERT_FALSE(shown(kPartitionTypeGroup) && shown(kQuickSearchMode)) << trail;
    } else if (stage == WizardStage::Partitions && raw) {
      ASSERT_TRUE(shown(kRawStartButton) && !diskTree && !folderTree) << trail;
    } else if (stage == WizardStage::Partitions) {
      ASSERT_TRUE(partitionTree && !diskTree && !folderTree) << trail;
    } else {
      ASSERT_TRUE(folderTree && !diskTree && !partitionTree) << trail;
      ASSERT_FALSE(shown(kQuickSearchMode) || shown(kRecoveryModesGroup) || shown(kSelectDiskGroup)) << trail;
    }
    // Next is offered only where it can act.
    if (Control(kNextButton)->isEnabled()) {
      ASSERT_LT(stage, WizardStage::Catalogue) << trail;
      if (stage == WizardStage::DiskAndMode) {
        ASSERT_NE(app_->state.recoveryMode, RecoveryMode::None) << trail;
      }
    }
    ASSERT_EQ(Control(kBackButton)->isVisible() && Control(kBackButton)->isEnabled() &&
                  stage == WizardStage::DiskAndMode,
              false)
        << trail;
    ASSERT_FALSE(shown(kStopButton) && Control(kStopButton)->isEnabled()) << trail;
    CheckValueFields(trail);
    if (HasFatalFailure()) return;
    CheckSharedCommands(trail);
    if (HasFatalFailure()) return;
    CheckFocus(trail);
    if (HasFatalFailure() || stoppedRuns_ == checkedStops_) return;
    checkedStops_ = stoppedRuns_;
    CheckNoFileCutShort(trail);
  }

  void Walk(unsigned seed, int steps) {
    random_.seed(seed);
    qt::ModeButton::SetRestDelay(0);
    imagePath_ = (temp_.Path() / "walk.img").string();
    {
      std::ofstream disk(imagePath_, std::ios::binary);
      for (const std::string& part : {FixtureImage("mbr-mixed"), CarveFixtureImage("carve-mixed")})
        disk << std::ifstream(part, std::ios::binary).rdbuf();
    }
    ReadManifest();
    Open(imagePath_);
    // A recovery log of this disk for Load Log to find.
    logPath_ = (temp_.Path() / "WALK.SAV").string();
    ChooseDiskAndMode(kQuickSearchMode);
    ChoosePartitionAndBuild(94208, "quick");
    Settle();
    ASSERT_TRUE(WriteRecoveryLog(app_->state, logPath_));
    std::ofstream(temp_.Path() / "JUNK.SAV") << "not a recovery log";
    answers_.StandAside();
    QTimer answering;
    QObject::connect(&answering, &QTimer::timeout, [this] { AnswerDialogs(); });
    answering.start(1);

    std::string trail;
    int atRest = 0;
    for (int step = 0; step < steps; ++step) {
      const std::string action = Step();
      trail = "seed " + std::to_string(seed) + " step " + std::to_string(step) + " (" + action + ")";
      QCoreApplication::processEvents();
      // No two workers of a kind: a slot refuses a second start, so a running one is one.
      if (step % 16 == 15) Settle();
      if (Quiet()) {
        CheckAtRest(trail);
        if (HasFatalFailure()) return;
        ++atRest;
      }
    }
    Settle();
    answering.stop();
    qt::ModeButton::SetRestDelay(300);
    EXPECT_GT(atRest, steps / 20);
    RecordProperty("dialogs", dialogs_);
    RecordProperty("stopped runs", stoppedRuns_);
    std::cout << "seed " << seed << ": " << steps << " steps, " << atRest << " at rest, " << dialogs_ << " dialogs, "
              << stoppedRuns_ << " stopped runs looked at, " << carved_.size() << " carved files known\n";
  }

  std::mt19937 random_;
  std::string imagePath_;
  std::map<std::string, std::uint64_t> carved_;                // path: bytes, as the runs reported
  std::map<std::string, std::set<std::string>> savedDigests_;  // saved path: the disk's digests
  int stoppedRuns_ = 0;
  int checkedStops_ = 0;
  std::string logPath_;
  int dialogs_ = 0;
  NoDesktop desktop_;
};

class WindowWalkTest : public WindowWalk, public ::testing::WithParamInterface<unsigned> {};

// Seeds kept because they once broke the window, and a couple of fresh ones.
INSTANTIATE_TEST_SUITE_P(Seeds, WindowWalkTest, ::testing::Values(1u, 2u, 3u));

TEST_P(WindowWalkTest, WindowStandsAndShowsItsStepThroughARandomWalk) { Walk(GetParam(), 700); }

TEST_F(WindowWalk, LongWalkFromTheEnvironment) {
  const QString seed = qEnvironmentVariable("VANTREL_WALK_SEED");
  if (seed.isEmpty()) GTEST_SKIP() << "VANTREL_WALK_SEED not set";
  Walk(seed.toUInt(), qEnvironmentVariableIntValue("VANTREL_WALK_STEPS"));
}

}  // namespace
}  // namespace vantrel::test

#include "WindowWalkTest.moc"
