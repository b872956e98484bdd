// The desktop window walked as a user walks it: a disk, a mode, Next, a partition, the
// "Recovery Mode" dialog, a checked folder, "&Save " and a destination; the files must come
// out byte for byte. Then the same with the advanced searches, and raw recovery.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>
#include <QUrl>
#include <atomic>
#include <new>
#include <chrono>
#include <thread>
#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/ControlIds.h"
#include "app/FolderListing.h"
#include "app/FolderTree.h"
#include "app/SettingsDialog.h"
#include "app/WizardViews.h"
#include "app/qt/TreeBinder.h"
#include "app/qt/WizardApplication.h"
#include "qt/ModalAnswerer.h"
#include "qt/WindowFixture.h"
#include "support/Fixtures.h"
#include "support/Sha256.h"
#include "support/Slowdown.h"
#include "support/TempDir.h"

namespace vantrel::test {
namespace {

using namespace control;
using qt::TreeBinder;
namespace fs = std::filesystem;

// Stands in for the desktop's programs: keeps the files the window hands over to be opened.
class OpenedFiles : public QObject {
  Q_OBJECT
 public:
  OpenedFiles() { QDesktopServices::setUrlHandler("file", this, "Open"); }
  ~OpenedFiles() override { QDesktopServices::unsetUrlHandler("file"); }
  QStringList paths;

 public slots:
  void Open(const QUrl& url) { paths << url.toLocalFile(); }
};

class WizardWindowTest : public WindowFixture {};

TEST_F(WizardWindowTest, EveryTemplateControlCarriesItsIdentifierAndText) {
  Open(FixtureImage("mbr-mixed"));
  EXPECT_EQ(qobject_cast<QAbstractButton*>(Control(kQuickSearchMode))->text(), "Quick Search");
  EXPECT_EQ(qobject_cast<QAbstractButton*>(Control(kNextButton))->text(), "&Next");
  EXPECT_EQ(Control(kExitButton)->toolTip(), "Exit from Vantrel");
  EXPECT_FALSE(Control(kBackButton)->isVisible());
  EXPECT_FALSE(Control(kNextButton)->isEnabled());
  EXPECT_FALSE(app_->window.CommandAction(kMenuSave)->isEnabled());
  EXPECT_EQ(app_->window.CommandAction(kMenuLoadLog)->statusTip(), "Load the recovery information");
  EXPECT_TRUE(app_->window.CommandAction(kMenuBalloonHelp)->isChecked());
  // Enter and Escape never press a button.
  QTest::keyClick(&app_->window, Qt::Key_Escape);
  QTest::keyClick(&app_->window, Qt::Key_Return);
  EXPECT_TRUE(answers_.Messages().empty());
}

TEST_F(WizardWindowTest, QuickWalkSavesACheckedFolderByteForByte) {
  Open(FixtureImage("mbr-mixed"));
  const auto partition = ManifestPartition(FixtureManifest("mbr-mixed"), 5);
  Snap("0-start");
  ChooseDiskAndMode(kQuickSearchMode);
  Snap("2-partitions");
  EXPECT_TRUE(app_->window.TreeWidget(TreeId::Partition)->isVisible());
  EXPECT_FALSE(app_->window.TreeWidget(TreeId::Disk)->isVisible());
  ChoosePartitionAndBuild(partition["start_sector"], "quick");
  Snap("3-catalogue");
  EXPECT_TRUE(app_->window.TreeWidget(TreeId::Folder)->isVisible());
  EXPECT_GT(static_cast<QTableView*>(Control(kDetailsList))->model()->rowCount(), 0);
  // A sound volume lost nothing: the tree shows no "Lost" folder, as the console lists none.
  EXPECT_TRUE(app_->window.TreeWidget(TreeId::Folder)
                  ->findItems("Lost", Qt::MatchExactly | Qt::MatchRecursive)
                  .isEmpty());
  // Tab moves between the folder tree and the list; Enter on a folder row opens it.
  QTreeWidget* folders = app_->window.TreeWidget(TreeId::Folder);
  auto* list = static_cast<QTableView*>(Control(kDetailsList));
  app_->window.activateWindow();  // the dialogs had the keyboard last
  ASSERT_TRUE(QTest::qWaitForWindowActive(&app_->window));
  folders->setFocus();
  QTest::keyClick(folders, Qt::Key_Tab);
  EXPECT_TRUE(list->hasFocus());
  list->setCurrentIndex(list->model()->index(0, 0));
  const QString firstFolder = list->model()->index(0, 0).data().toString();
  QTest::keyClick(list, Qt::Key_Return);
  QTest::qWait(20);
  EXPECT_EQ(app_->window.ControlText(kStatusText), "\\" + firstFolder.toStdString());
  QTest::keyClick(list, Qt::Key_Tab);
  EXPECT_TRUE(folders->hasFocus());

  const fs::path out = temp_.Path() / "quick";
  SaveFolder("Old Docs", out, "5-saving-summary");
  EXPECT_EQ(Mismatches(partition["entries"], "Old Docs", out), std::vector<std::string>{});
  EXPECT_TRUE(answers_.AllAnswered());
}

TEST_F(WizardWindowTest, AdvancedWalkSavesACheckedFolderByteForByte) {
  Open(FixtureImage("mbr-mixed"));
  const auto partition = ManifestPartition(FixtureManifest("mbr-mixed"), 5);
  ChooseDiskAndMode(kAdvancedSearchMode);
  ChoosePartitionAndBuild(partition["start_sector"], "advanced");
  const fs::path out = temp_.Path() / "advanced";
  SaveFolder("Old Docs", out);
  EXPECT_EQ(Mismatches(partition["entries"], "Old Docs", out), std::vector<std::string>{});
  Click(kBackButton);
  EXPECT_EQ(app_->state.stage, WizardStage::Partitions);
  EXPECT_FALSE(app_->window.TreeWidget(TreeId::Folder)->isVisible());
}

TEST_F(WizardWindowTest, RawWalkCarvesTheCheckedKinds) {
  Open(CarveFixtureImage("carve-basic"));
  ChooseDiskAndMode(kRawRecoveryMode);
  auto* kinds = static_cast<QAbstractItemView*>(Control(kRawFileTypesList));
  ASSERT_TRUE(kinds->isVisible());
  for (int row = 0; row < kinds->model()->rowCount(); ++row)
    kinds->model()->setData(kinds->model()->index(row, 0), Qt::Checked, Qt::CheckStateRole);
  const fs::path out = temp_.Path() / "carved";
  answers_.Expect("FileSaving", [out](QWidget* dialog) {
    dialog->findChild<QLineEdit*>("1005")->setText(QString::fromStdString(out.string()));
    dialog->findChild<QAbstractButton*>("1")->click();
  });
  Click(kRawStartButton);
  RunUntil([&] { return !app_->wizard.Workers().AnyRunning(); });
  Snap("4-raw-recovery");
  const auto& files = app_->state.rawRecovery.report.files;
  ASSERT_FALSE(files.empty());
  for (const auto& file : files) EXPECT_TRUE(fs::exists(file.path)) << file.path;
  EXPECT_FALSE(app_->state.rawRecovery.report.resultsRows.empty());
  EXPECT_TRUE(Control(kRawStartButton)->isEnabled());
}

TEST_F(WizardWindowTest, FolderOfAHundredThousandFilesIsShownAndScrolledQuickly) {
  Open(FixtureImage("mbr-mixed"));
  auto& files = app_->state.catalogue.fileList;
  for (std::uint32_t i = 0; i < 100000; ++i) {
    CatalogueEntry file;
    file.objectId = 1000 + i;
    file.parentId = kRootFolderId;
    file.folderId = kRootFolderId;
    file.name = app_->state.catalogue.names.Add("file-" + std::to_string(i) + ".txt");
    file.size = i;
    file.modificationTime = 1136451903;
    files.push_back(file);
  }
  app_->state.catalogue.fileCount = 100000;
  ShowView(app_->state, WizardView::CatalogueTree);
  const auto started = std::chrono::steady_clock::now();
  ShowFolder(app_->state, kRootFolderId);
  app_->window.RefreshNow();
  auto* list = static_cast<QTableView*>(Control(kDetailsList));
  ASSERT_EQ(list->model()->rowCount(), 100000);
  list->scrollToBottom();
  list->selectRow(99999);
  app_->window.RefreshNow();
  QTest::qWait(20);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10) * kSlowdown);
  EXPECT_TRUE(app_->window.ListRowSelected(kDetailsList, 99999));
  // A refresh that changes only the selection keeps the place in the list.
  EXPECT_EQ(list->verticalScrollBar()->value(), list->verticalScrollBar()->maximum());
}

TEST_F(WizardWindowTest, WindowKeepsAnsweringWhileAWorkerFillsATreeOfTwentyThousandFolders) {
  Open(FixtureImage("mbr-mixed"));
  auto& folders = app_->state.catalogue.folderList;
  for (std::uint32_t i = 0; i < 20000; ++i) {
    CatalogueEntry folder;
    folder.objectId = 1000 + i;
    // A hundred folders below the root, the rest spread below them.
    folder.parentId = i < 100 ? kRootFolderId : 1000 + i % 100;
    folder.folderId = folder.parentId;
    folder.name = app_->state.catalogue.names.Add("folder-" + std::to_string(i));
    folders.push_back(folder);
  }
  app_->state.catalogue.folderCount = 20000;
  ReplaceFolderTree(app_->state);
  ShowView(app_->state, WizardView::CatalogueTree);
  std::atomic<bool> filled{false};
  std::thread worker([&] {
    AddFolderItems(app_->state, app_->window.TreeRoot(TreeId::Folder));
    filled = true;
  });
  // The longest the event loop stays away while the worker reports.
  auto last = std::chrono::steady_clock::now();
  std::chrono::steady_clock::duration longest{};
  while (!filled) {
    QTest::qWait(5);
    const auto now = std::chrono::steady_clock::now();
    longest = std::max(longest, now - last);
    last = now;
  }
  worker.join();
  app_->window.RefreshNow();
  EXPECT_LT(longest, std::chrono::milliseconds(500) * kSlowdown);
  EXPECT_EQ(app_->window.TreeWidget(TreeId::Folder)->topLevelItem(0)->childCount(), 100);
}

TEST_F(WizardWindowTest, AllocationFailureOnTheWindowsThreadEndsTheWorkerThatAskedNotTheProgram) {
  Open(FixtureImage("mbr-mixed"));
  std::atomic<bool> done{false};
  bool caught = false;
  std::thread worker([&] {
    try {
      app_->window.RunOnWindowThread([] { throw std::bad_alloc(); });
    } catch (const std::bad_alloc&) {
      caught = true;
    }
    done = true;
  });
  while (!done) QTest::qWait(5);
  worker.join();
  EXPECT_TRUE(caught);
}

TEST_F(WizardWindowTest, WindowKeepsAnsweringWhileAFileOfTheListIsWrittenForOpening) {
  OpenedFiles opened;
  Open(FixtureImage("mbr-mixed"));
  ChooseDiskAndMode(kQuickSearchMode);
  ChoosePartitionAndBuild(ManifestPartition(FixtureManifest("mbr-mixed"), 5)["start_sector"], "quick");
  RunUntil([] { return !QApplication::activeModalWidget(); });
  auto* list = static_cast<QTableView*>(Control(kDetailsList));
  const int row = list->model()->rowCount() - 1;  // folders come first
  ASSERT_GE(row, 0);
  ASSERT_NE(list->model()->index(row, 1).data().toString(), "Folder");
  const QString name = list->model()->index(row, 0).data().toString();
  const auto openRow = [&] {
    list->scrollTo(list->model()->index(row, 0));
    const QRect cell = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
  };

  // The temporary copy is a pipe, so that its writing waits until the test reads it (or, should
  // the window itself be the one waiting, until five seconds have passed).
  const fs::path copy = temp_.Path() / name.toStdString();
  ASSERT_EQ(::mkfifo(copy.c_str(), 0600), 0);
  std::atomic<bool> read{false};
  std::thread reader([&] {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!read && std::chrono::steady_clock::now() < limit) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    // Opened without waiting for a writer; the writing (if any) ends as soon as it meets the pipe.
    const int fd = ::open(copy.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ::fcntl(fd, F_SETFL, 0);
    char buffer[4096];
    while (::read(fd, buffer, sizeof buffer) > 0) {
    }
    ::close(fd);
  });
  openRow();
  EXPECT_TRUE(app_->wizard.Workers().IsRunning(Worker::Viewing));
  auto last = std::chrono::steady_clock::now();
  std::chrono::steady_clock::duration longest{};
  for (int turn = 0; turn < 40; ++turn) {
    QTest::qWait(5);
    const auto now = std::chrono::steady_clock::now();
    longest = std::max(longest, now - last);
    last = now;
  }
  EXPECT_LT(longest, std::chrono::milliseconds(500) * kSlowdown);
  EXPECT_TRUE(app_->wizard.Workers().IsRunning(Worker::Viewing));
  openRow();  // a second open while the first is written is not started
  read = true;
  RunUntil([&] { return !app_->wizard.Workers().IsRunning(Worker::Viewing); });
  reader.join();
  EXPECT_EQ(opened.paths, QStringList{QString::fromStdString(copy.string())});
  const std::size_t messages = answers_.Messages().size();

  // A copy that cannot be created is reported, from the worker, and nothing is opened.
  app_->state.files.tempFolder = (temp_.Path() / "missing").string();
  openRow();
  RunUntil([&] { return !app_->wizard.Workers().AnyRunning() && !QApplication::activeModalWidget(); });
  ASSERT_EQ(answers_.Messages().size(), messages + 1);
  EXPECT_EQ(answers_.Messages().back(), "Failed to open file \r\n Error Code 8");
  EXPECT_EQ(opened.paths.size(), 1);
}

TEST_F(WizardWindowTest, MenuBalloonComesUpAtItsCommandsPlaceWithItsPrompt) {
  Open(FixtureImage("mbr-mixed"));
  QAction* action = app_->window.CommandAction(kMenuSaveLog);
  QMenu* menu = nullptr;
  for (QObject* owner : action->associatedObjects())
    if (auto* found = qobject_cast<QMenu*>(owner)) menu = found;
  ASSERT_NE(menu, nullptr);
  menu->popup(app_->window.mapToGlobal(QPoint(0, 0)));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
  emit menu->hovered(action);
  QTest::qWait(50);
  ASSERT_TRUE(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text(), QString::fromStdString(app_->wizard.Language().MenuPrompt(
                                  action->data().toString().toStdString())).trimmed());
  QWidget* tip = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->objectName() == "qtooltip_label" && widget->isVisible()) tip = widget;
  ASSERT_NE(tip, nullptr);
  // The Save Log balloon stands 190 to the right of its item's left and 60 below its top (the
  // tip itself is drawn 2 right of and 16 below its point, and inside the screen).
  const QRect item = menu->actionGeometry(action);
  const QPoint at = menu->mapToGlobal(item.topLeft() + QPoint(190 + 2, 60 + 16));
  const QRect screen = menu->screen()->geometry();
  const QPoint expected(std::min(at.x(), screen.right() - tip->width()), at.y());
  EXPECT_LE((tip->pos() - expected).manhattanLength(), 8) << tip->pos().x() << "," << tip->pos().y();
  menu->close();
}

TEST_F(WizardWindowTest, StopSearchingEndsAWholeDiskScanAfterItsQuestion) {
  // A disk of zeros that takes the advanced search a while.
  const fs::path disk = temp_.Path() / "empty.img";
  std::ofstream(disk).close();
  fs::resize_file(disk, std::uint64_t{8} << 30);
  Open(disk.string());
  ClickTreeItem(TreeId::Disk, app_->window.TreeChildren(TreeId::Disk, app_->window.TreeRoot(TreeId::Disk)).at(0));
  Hover(kAdvancedSearchMode);
  const auto started = std::chrono::steady_clock::now();
  Click(kNextButton);
  RunUntil([&] { return Control(kStopButton)->isVisible() && app_->window.Control(kSearchProgress).progress > 0; });
  ASSERT_TRUE(app_->wizard.Workers().IsRunning(Worker::PartitionSearch));
  Click(kStopButton);  // "Do you want to stop this process?": the first button is "&Yes"
  RunUntil([&] { return !app_->wizard.Workers().AnyRunning() && !QApplication::activeModalWidget(); });
  EXPECT_LT(app_->window.Control(kSearchProgress).progress, 100);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30) * kSlowdown);
  ASSERT_EQ(answers_.Messages().size(), 2u);
  EXPECT_EQ(answers_.Messages()[0], "Do you want to stop this process?");
  EXPECT_EQ(answers_.Messages()[1], "No ReiserFS partition found, use Raw Recovery in previous menu");
  EXPECT_EQ(app_->state.stage, WizardStage::DiskAndMode);
  EXPECT_TRUE(app_->window.TreeWidget(TreeId::Disk)->isVisible());
}

TEST_F(WizardWindowTest, SettingsDialogKeepsAnAcceptedExtensionAndRefusesABadOne) {
  Open(FixtureImage("mbr-mixed"));
  const auto add = [](const char* extension) {
    return [extension](QWidget* dialog) {
      dialog->findChild<QLineEdit*>("1126")->setText(extension);
      dialog->findChild<QAbstractButton*>("1128")->click();
      QTimer::singleShot(200, dialog, [dialog] { dialog->findChild<QAbstractButton*>("1")->click(); });
    };
  };
  app_->state.stage = WizardStage::Catalogue;  // Save Settings belongs to the catalogue step
  app_->window.RefreshNow();
  answers_.Expect("Settings", add("tmp"));
  app_->window.CommandAction(kMenuSaveSettings)->trigger();
  EXPECT_EQ(app_->state.saving.options.extensionList, std::vector<std::string>{"tmp"});

  answers_.Expect("Settings", [](QWidget* dialog) {
    dialog->findChild<QLineEdit*>("1126")->setText("a.b");
    dialog->findChild<QAbstractButton*>("1128")->click();
    QTimer::singleShot(200, dialog, [dialog] { dialog->findChild<QAbstractButton*>("2")->click(); });
  });
  app_->window.CommandAction(kMenuSaveSettings)->trigger();
  EXPECT_EQ(app_->state.saving.options.extensionList, std::vector<std::string>{"tmp"});
  ASSERT_EQ(answers_.Messages().size(), 1u);
  EXPECT_NE(answers_.Messages()[0].find("(DOT)"), std::string::npos);
}

// The journal check box: cleared and applied, the next builds show the blocks as they lie;
// cleared and cancelled, nothing changes.
TEST_F(WizardWindowTest, SettingsDialogChoosesWhetherTheJournalIsReplayed) {
  Open(FixtureImage("mbr-mixed"));
  const auto replay = [](bool on, const char* button) {
    return [on, button](QWidget* dialog) {
      auto* box = dialog->findChild<QAbstractButton*>("ReplayJournal");
      ASSERT_NE(box, nullptr);
      box->setChecked(on);
      QTimer::singleShot(100, dialog, [dialog, button] { dialog->findChild<QAbstractButton*>(button)->click(); });
    };
  };
  app_->state.stage = WizardStage::Catalogue;  // Save Settings belongs to the catalogue step
  app_->window.RefreshNow();
  ASSERT_FALSE(app_->state.saving.options.blocksInPlace);
  answers_.Expect("Settings", replay(false, "2"));
  app_->window.CommandAction(kMenuSaveSettings)->trigger();
  EXPECT_FALSE(app_->state.saving.options.blocksInPlace);
  answers_.Expect("Settings", replay(false, "1"));
  app_->window.CommandAction(kMenuSaveSettings)->trigger();
  EXPECT_TRUE(app_->state.saving.options.blocksInPlace);
  EXPECT_FALSE(JournalOptionsOf(app_->state.saving.options).replay);
}

}  // namespace
}  // namespace vantrel::test

#include "WizardWindowTest.moc"
