// The wizard driven as the window drives it: disk, mode, Next and Back through the stages,
// the workers, the commands with their refusals, and balloon help.

#include "app/Wizard.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <thread>

#include "app/ControlIds.h"
#include "app/FolderTree.h"
#include "app/WizardState.h"
#include "reiserfs/catalogue/Catalogue.h"
#include "support/Fixtures.h"
#include "support/ScriptedWizardDialogs.h"
#include "support/Sha256.h"
#include "support/TempDir.h"
#include "support/TestWizard.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

using namespace control;
namespace fs = std::filesystem;

std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class WizardTest : public ::testing::Test {
 protected:
  void Start(const std::vector<std::string>& images, const std::string& language = "") {
    t_.state.files.programFolder = programFolder_.Path().string();
    t_.state.files.tempFolder = out_.Path().string();
    if (!images.empty()) t_.UseImages(images);
    wizard_.Initialise(language);
  }
  ControlState At(int id) const { return t_.window.Control(id); }
  TreeItemHandle Child(TreeId tree, TreeItemHandle parent, const std::string& text) {
    for (const TreeItemHandle item : t_.window.TreeChildren(tree, parent))
      if (t_.window.TreeText(tree, item) == text) return item;
    return kNoTreeItem;
  }
  void ChooseDiskAndMode(int modeButton, const std::string& disk = "Disk0") {
    wizard_.ClickDiskItem(Child(TreeId::Disk, t_.window.TreeRoot(TreeId::Disk), disk));
    wizard_.HoverMode(modeButton);
    wizard_.Next();
    wizard_.Workers().WaitAll();
  }
  void PickPartitionAt(std::uint64_t start) {
    for (std::uint32_t i = 0; i < t_.state.partitionTable.count; ++i)
      if (t_.state.partitionTable.records[i].start == start)
        wizard_.ClickPartitionItem(t_.state.partitionTable.records[i].treeItem);
  }
  void BuildCatalogue(FileSearchKind fileSearchKind) {
    dialogs_.AddFileSearchKind(fileSearchKind);
    wizard_.Next();
    wizard_.Workers().WaitAll();
  }
  // Checks the folder, saves through the menu and lists the files under it that did not
  // come out byte for byte.
  std::vector<std::string> SaveFolderAndCompare(const std::string& folder, const nlohmann::json& entries) {
    wizard_.ClickFolderCheck(Child(TreeId::Folder, t_.window.TreeRoot(TreeId::Folder), folder));
    t_.window.AnswerDestinationWith((out_.Path() / "saved").string());
    wizard_.Command(kMenuSave);
    std::vector<std::string> wrong;
    int compared = 0;
    for (const auto& entry : entries) {
      const std::string path = entry["path"];
      if (entry["kind"] == "dir" || path.rfind(folder + "/", 0) != 0) continue;
      ++compared;
      if (Sha256OfFile((out_.Path() / "saved" / SavedPath(path)).string()) != entry["sha256"]) wrong.push_back(path);
    }
    EXPECT_GT(compared, 0);
    return wrong;
  }

  TempDir programFolder_;
  TempDir out_;
  TestWizard t_;
  ScriptedWizardDialogs dialogs_;
  Wizard wizard_{t_.state, dialogs_, t_.window.Pause()};
};

TEST_F(WizardTest, FirstScreenWaitsForADiskBeforeTheModesAndNext) {
  const UnchangedFixtures unchanged{"mbr-mixed"};
  Start({FixtureImage("mbr-mixed")});
  for (const int id : {kQuickSearchMode, kAdvancedSearchMode, kRawRecoveryMode, kNextButton})
    EXPECT_FALSE(At(id).enabled) << id;
  EXPECT_FALSE(At(kBackButton).shown);
  for (const int id : {kMenuSave, kSaveDataButton, kMenuSaveSettings, kMenuSaveLog, kSaveLogButton, kMenuBrowse,
                       kBrowseButton, kMenuDirectoryView})
    EXPECT_FALSE(wizard_.CommandStateOf(id).enabled) << id;
  EXPECT_TRUE(wizard_.CommandStateOf(kLoadLogButton).enabled);
  EXPECT_TRUE(At(kMenuBalloonHelp).checked);
  EXPECT_FALSE(At(kRawStartButton).shown);

  wizard_.ClickDiskItem(t_.window.TreeRoot(TreeId::Disk));  // "My Computer": nothing
  EXPECT_FALSE(At(kQuickSearchMode).enabled);
  wizard_.ClickDiskItem(Child(TreeId::Disk, t_.window.TreeRoot(TreeId::Disk), "Disk0"));
  EXPECT_TRUE(At(kQuickSearchMode).enabled);
  EXPECT_EQ(At(kStepPicture).text, t_.state.files.programFolder + "/Step2.bmp");
  EXPECT_GT(t_.window.ListRowCount(kDetailsList), 0u);

  // Hovering selects without a new picture; a (keyboard) click shows picture 3.
  EXPECT_EQ(wizard_.HoverMode(kAdvancedSearchMode), "Use this mode when Quick Search fails to recover files");
  EXPECT_EQ(t_.state.recoveryMode, RecoveryMode::AdvancedSearch);
  EXPECT_TRUE(At(kAdvancedSearchMode).checked);
  EXPECT_TRUE(At(kNextButton).enabled);
  EXPECT_EQ(At(kStepPicture).text, t_.state.files.programFolder + "/Step2.bmp");
  wizard_.ClickMode(kQuickSearchMode);
  EXPECT_FALSE(At(kAdvancedSearchMode).checked);
  EXPECT_EQ(At(kStepPicture).text, t_.state.files.programFolder + "/Step3.bmp");

  wizard_.Command(kMenuBalloonHelp);
  EXPECT_FALSE(At(kMenuBalloonHelp).checked);
  EXPECT_EQ(wizard_.HoverMode(kRawRecoveryMode), "");
  EXPECT_EQ(t_.state.recoveryMode, RecoveryMode::RawRecovery);
}

TEST_F(WizardTest, QuickWalkSavesACheckedFolderByteForByteAndLogsTheChoices) {
  const UnchangedFixtures unchanged{"mbr-mixed"};
  Start({FixtureImage("mbr-mixed")});
  const auto partition = ManifestPartition(FixtureManifest("mbr-mixed"), 5);
  ChooseDiskAndMode(kQuickSearchMode);
  EXPECT_EQ(t_.state.stage, WizardStage::Partitions);
  EXPECT_EQ(t_.window.CurrentView(), WizardView::PartitionList);
  EXPECT_EQ(t_.window.TreeText(TreeId::Partition, t_.window.TreeRoot(TreeId::Partition)), "Disk 0");
  EXPECT_EQ(t_.state.partitionTable.count, 2u);
  const std::string log = ReadWhole(t_.state.files.activityLogPath);
  EXPECT_NE(log.find("\r\nSelected Disk : " + t_.state.disks.selectedModel + "\r\nSelected Mode : QUICK"
                     "\r\nTotal Partitions Found : 2"),
            std::string::npos)
      << log;

  EXPECT_FALSE(At(kNextButton).enabled);
  PickPartitionAt(partition["start_sector"]);
  EXPECT_TRUE(At(kNextButton).enabled);
  dialogs_.AddFileSearchKind(std::nullopt);  // "Cancel" changes nothing
  wizard_.Next();
  EXPECT_EQ(t_.state.stage, WizardStage::Partitions);
  BuildCatalogue(FileSearchKind::Quick);
  EXPECT_EQ(t_.state.stage, WizardStage::Catalogue);
  EXPECT_EQ(t_.window.CurrentView(), WizardView::CatalogueShown);
  EXPECT_TRUE(At(kFolderTree).shown);
  EXPECT_TRUE(wizard_.CommandStateOf(kMenuSave).enabled);
  EXPECT_FALSE(wizard_.Workers().IsSet(Worker::Catalogue));

  EXPECT_EQ(SaveFolderAndCompare("Old Docs", partition["entries"]), std::vector<std::string>{});
  auto actions = dialogs_.Actions();
  std::sort(actions.begin(), actions.end());
  EXPECT_EQ(actions, (std::vector<std::string>{"counting", "saving"}));
  EXPECT_EQ(t_.state.saving.run.filesWritten, t_.state.saving.run.totalFiles);
}

TEST_F(WizardTest, SavedLogBringsTheCatalogueBackFromTheFirstStep) {
  const UnchangedFixtures unchanged{"mbr-mixed"};
  Start({FixtureImage("mbr-mixed")});
  ChooseDiskAndMode(kQuickSearchMode);
  PickPartitionAt(94208);
  BuildCatalogue(FileSearchKind::Quick);
  const std::size_t folders = t_.state.catalogue.folderList.size();
  const std::size_t files = t_.state.catalogue.fileList.size();
  t_.window.AnswerFileDialogsWith((out_.Path() / "walk").string());
  wizard_.Command(kSaveLogButton);
  wizard_.Workers().WaitAll();
  ASSERT_TRUE(fs::exists(out_.Path() / "WALK.SAV"));

  wizard_.Back();
  wizard_.Back();
  ASSERT_EQ(t_.state.stage, WizardStage::DiskAndMode);
  t_.window.AnswerFileDialogsWith((out_.Path() / "WALK.SAV").string());
  wizard_.Command(kLoadLogButton);
  wizard_.Workers().WaitAll();
  EXPECT_EQ(t_.state.stage, WizardStage::Catalogue);
  EXPECT_EQ(t_.window.CurrentView(), WizardView::CatalogueShown);
  EXPECT_EQ(t_.state.partitionTable.count, 2u);
  EXPECT_EQ(t_.state.currentPartition.partitionStartSector, 94208u);
  EXPECT_EQ(t_.state.catalogue.folderList.size(), folders);
  EXPECT_EQ(t_.state.catalogue.fileList.size(), files);
  EXPECT_NE(Child(TreeId::Folder, t_.window.TreeRoot(TreeId::Folder), "Old Docs"), kNoTreeItem);
  EXPECT_FALSE(wizard_.CommandStateOf(kLoadLogButton).enabled);
}

TEST_F(WizardTest, CatalogueIsBrowsedFromTheTreeAndTheListRows) {
  const UnchangedFixtures unchanged{"mbr-mixed"};
  Start({FixtureImage("mbr-mixed")});
  ChooseDiskAndMode(kQuickSearchMode);
  PickPartitionAt(ManifestPartition(FixtureManifest("mbr-mixed"), 5)["start_sector"]);
  BuildCatalogue(FileSearchKind::Quick);
  const TreeItemHandle oldDocs = Child(TreeId::Folder, t_.window.TreeRoot(TreeId::Folder), "Old Docs");
  wizard_.ClickFolderItem(oldDocs);
  EXPECT_EQ(At(kStatusText).text, "\\Old Docs");
  ASSERT_GT(t_.window.ListRowCount(kDetailsList), 0u);
  EXPECT_EQ(t_.window.ListCell(kDetailsList, 0, 1), "Folder");  // folders come first
  const std::string folderName = t_.window.ListCell(kDetailsList, 0, 0);
  wizard_.OpenListRow(0);
  EXPECT_EQ(At(kStatusText).text, "\\Old Docs\\" + folderName);
  EXPECT_EQ(t_.window.Tree(TreeId::Folder).Selected(), Child(TreeId::Folder, oldDocs, folderName));

  const std::size_t fileRow = t_.window.ListRowCount(kDetailsList) - 1;
  ASSERT_NE(t_.window.ListCell(kDetailsList, fileRow, 1), "Folder");
  wizard_.OpenListRow(fileRow, /*upperCase=*/true);
  wizard_.Workers().WaitAll();
  ASSERT_EQ(t_.window.OpenedDocuments().size(), 1u);
  EXPECT_EQ(fs::path(t_.window.OpenedDocuments()[0]).filename(), t_.window.ListCell(kDetailsList, fileRow, 0));
}

TEST_F(WizardTest, EachNameOfAHardLinkedFileIsSavedAndOpenedFromTheListAsItself) {
  const UnchangedFixtures unchanged{"mbr-mixed"};
  Start({FixtureImage("mbr-mixed")});
  ChooseDiskAndMode(kQuickSearchMode);
  PickPartitionAt(2048);
  BuildCatalogue(FileSearchKind::Quick);
  const TreeItemHandle links = Child(TreeId::Folder, t_.window.TreeRoot(TreeId::Folder), "links");
  // Both names share one object: links/first/shared.bin and links/second/shared-hardlink.bin.
  for (const auto& [folder, name] : {std::pair{"first", "shared.bin"}, {"second", "shared-hardlink.bin"}}) {
    wizard_.ClickFolderItem(Child(TreeId::Folder, links, folder));
    ASSERT_EQ(t_.window.ListCell(kDetailsList, 0, 0), name);
    t_.window.ListSetRowSelected(kDetailsList, 0, true);
    const fs::path saved = out_.Path() / ("saved-" + std::string(folder));
    t_.window.AnswerDestinationWith(saved.string());
    wizard_.SaveFromList();
    wizard_.Workers().WaitAll();
    EXPECT_TRUE(fs::exists(saved / name)) << name;
    EXPECT_EQ(std::distance(fs::directory_iterator(saved), fs::directory_iterator{}), 1) << name;

    wizard_.OpenListRow(0);
    wizard_.Workers().WaitAll();
    EXPECT_EQ(fs::path(t_.window.OpenedDocuments().back()).filename(), name);
  }
}

TEST_F(WizardTest, BackAndNextWaitWhileAFileOfTheListIsStillBeingWritten) {
  const UnchangedFixtures unchanged{"mbr-mixed"};
  Start({FixtureImage("mbr-mixed")});
  ChooseDiskAndMode(kQuickSearchMode);
  PickPartitionAt(94208);
  BuildCatalogue(FileSearchKind::Quick);
  const std::size_t fileRow = t_.window.ListRowCount(kDetailsList) - 1;
  // The temporary copy is a pipe: its writing waits until the test reads it.
  const fs::path copy = out_.Path() / t_.window.ListCell(kDetailsList, fileRow, 0);
  ASSERT_EQ(::mkfifo(copy.c_str(), 0600), 0);
  wizard_.OpenListRow(fileRow);
  ASSERT_TRUE(wizard_.Workers().IsRunning(Worker::Viewing));
  wizard_.Back();
  wizard_.Next();
  EXPECT_EQ(t_.state.stage, WizardStage::Catalogue);
  EXPECT_FALSE(t_.state.catalogue.fileList.empty());
  std::ifstream(copy, std::ios::binary).ignore(std::numeric_limits<std::streamsize>::max());
  wizard_.Workers().WaitAll();
  wizard_.Back();
  EXPECT_EQ(t_.state.stage, WizardStage::Partitions);
}

TEST_F(WizardTest, AdvancedWalkFindsThePartitionsOnAWorkerAndBackReturnsStepByStep) {
  const UnchangedFixtures unchanged{"mbr-mixed"};
  Start({FixtureImage("mbr-mixed")});
  const auto partition = ManifestPartition(FixtureManifest("mbr-mixed"), 5);
  ChooseDiskAndMode(kAdvancedSearchMode);
  EXPECT_EQ(t_.state.stage, WizardStage::Partitions);
  EXPECT_EQ(t_.window.CurrentView(), WizardView::PartitionList);
  EXPECT_FALSE(wizard_.Workers().IsSet(Worker::PartitionSearch));
  PickPartitionAt(partition["start_sector"]);
  BuildCatalogue(FileSearchKind::Advanced);
  ASSERT_EQ(t_.state.stage, WizardStage::Catalogue);
  EXPECT_EQ(SaveFolderAndCompare("Old Docs", partition["entries"]), std::vector<std::string>{});

  wizard_.Back();
  EXPECT_EQ(t_.state.stage, WizardStage::Partitions);
  EXPECT_EQ(t_.window.CurrentView(), WizardView::BackToPartitions);
  EXPECT_TRUE(t_.state.catalogue.folderList.empty());
  EXPECT_FALSE(At(kFolderTree).shown);
  EXPECT_TRUE(At(kPartitionTree).shown);
  EXPECT_TRUE(wizard_.CommandStateOf(kLoadLogButton).enabled);
  wizard_.Back();
  EXPECT_EQ(t_.state.stage, WizardStage::DiskAndMode);
  EXPECT_EQ(t_.window.CurrentView(), WizardView::FirstStep);
  EXPECT_FALSE(At(kPartitionTree).shown);
}

TEST_F(WizardTest, RawWalkCarvesTheCheckedKindsAndBackLeavesThePanel) {
  const UnchangedImage unchangedCarve(CarveFixtureImage("carve-basic"));
  Start({CarveFixtureImage("carve-basic")});
  ChooseDiskAndMode(kRawRecoveryMode);
  EXPECT_EQ(t_.state.stage, WizardStage::Partitions);
  EXPECT_EQ(t_.window.CurrentView(), WizardView::RawRecoveryPanel);
  EXPECT_TRUE(At(kRawStartButton).enabled);
  EXPECT_TRUE(At(kRawExactSizes).shown);
  t_.window.SetChecked(kRawExactSizes, true);
  wizard_.Command(kRawExactSizes);
  EXPECT_TRUE(t_.state.rawRecovery.exactSizes);
  for (std::size_t row = 0; row < 4; ++row) t_.window.ListSetRowChecked(kRawFileTypesList, row, true);
  t_.window.AnswerDestinationWith((out_.Path() / "carved").string());
  wizard_.Command(kRawStartButton);
  wizard_.Workers().WaitAll();
  EXPECT_FALSE(t_.state.rawRecovery.running);
  EXPECT_FALSE(t_.state.rawRecovery.report.files.empty());
  for (const auto& file : t_.state.rawRecovery.report.files) {
    EXPECT_TRUE(fs::exists(file.path)) << file.path;
    EXPECT_TRUE(file.sizedByStructure) << file.path;
  }

  wizard_.Back();
  EXPECT_EQ(t_.state.stage, WizardStage::DiskAndMode);
  EXPECT_EQ(t_.window.CurrentView(), WizardView::RawRecoveryLeft);
  EXPECT_FALSE(At(kRawStartButton).shown);
  EXPECT_TRUE(At(kDiskTree).shown);
}

TEST_F(WizardTest, RawRecoveryCarvesTheDiskChosenAtTheFirstStepAfterASearchOfAnother) {
  const UnchangedFixtures unchanged{"bare-36"};
  const UnchangedImage unchangedCarve(CarveFixtureImage("carve-basic"));
  Start({FixtureImage("bare-36"), CarveFixtureImage("carve-basic")});
  ChooseDiskAndMode(kQuickSearchMode, "Disk0");
  EXPECT_EQ(t_.state.disks.currentIndex, 0);
  wizard_.Back();
  ChooseDiskAndMode(kRawRecoveryMode, "Disk1");
  EXPECT_EQ(t_.state.disks.currentIndex, 1);
  wizard_.Command(kRawSectorRange);
  const std::uint64_t carveSectors = fs::file_size(CarveFixtureImage("carve-basic")) / 512;
  EXPECT_EQ(At(kRawEndSector).text, std::to_string(carveSectors));
  wizard_.Command(kRawEntireDisk);
  for (std::size_t row = 0; row < 4; ++row) t_.window.ListSetRowChecked(kRawFileTypesList, row, true);
  t_.window.AnswerDestinationWith((out_.Path() / "carved").string());
  wizard_.Command(kRawStartButton);
  EXPECT_TRUE(t_.window.TextsShown(kRawStatus).size() > 0);
  EXPECT_EQ(t_.window.TextsShown(kRawStatus).front(), "Searching Disk - 1");
  wizard_.Workers().WaitAll();
  // The carve fixture's documents, none of which a ReiserFS disk of text files holds.
  EXPECT_FALSE(t_.state.rawRecovery.report.files.empty());
  // The totals stay in the panel and a summary says what was written.
  EXPECT_FALSE(t_.window.List(kRawResultsList).Rows().empty());
  ASSERT_FALSE(t_.window.MessageTexts().empty());
  const std::string summary = t_.window.MessageTexts().back();
  EXPECT_EQ(summary.rfind("Raw recovery complete.\r\nFiles written : " +
                              std::to_string(t_.state.rawRecovery.report.files.size()),
                          0),
            0u)
      << summary;
}

TEST_F(WizardTest, CommandsOutsideTheirStepAreGreyedTogetherAndDoNothing) {
  Start({});
  using enum WizardStage;
  using enum RecoveryMode;
  struct Case {
    WizardStage stage;
    RecoveryMode mode;
    int command;
    const char* reason;
  };
  const Case cases[] = {
      {DiskAndMode, QuickSearch, kSaveDataButton, kNeedsCatalogueReason},
      {Partitions, AdvancedSearch, kSaveLogButton, kNeedsCatalogueReason},
      {DiskAndMode, QuickSearch, kMenuDirectoryView, kNeedsCatalogueReason},
      {Partitions, QuickSearch, kMenuDirectoryPrint, kNeedsCatalogueReason},
      {Catalogue, QuickSearch, kLoadLogButton, kNeedsEarlierStepReason},
      {Partitions, RawRecovery, kLoadLogButton, kNotInRawRecoveryReason},
      {Partitions, RawRecovery, kSaveLogButton, kNeedsCatalogueReason},
      {Partitions, RawRecovery, kMenuLoadLog, kNotInRawRecoveryReason},
      {Partitions, QuickSearch, kBrowseButton, kNeedsCatalogueReason},
      {Partitions, QuickSearch, kMenuSave, kNeedsCatalogueReason},
  };
  for (const Case& c : cases) {
    t_.state.stage = c.stage;
    t_.state.recoveryMode = c.mode;
    const CommandState state = wizard_.CommandStateOf(c.command);
    EXPECT_FALSE(state.enabled) << c.command;
    EXPECT_EQ(state.reason, c.reason) << c.command;
    // Greyed is refused: no message about steps the wizard does not have, no dialog.
    const std::size_t before = t_.window.Messages().size();
    wizard_.Command(c.command);
    EXPECT_EQ(t_.window.Messages().size(), before) << c.command;
    EXPECT_TRUE(t_.window.FileDialogFilters().empty()) << c.command;
    EXPECT_EQ(t_.state.stage, c.stage);
  }
  t_.state.stage = DiskAndMode;
  t_.state.recoveryMode = None;
  wizard_.Command(kMenuUpdate);
  EXPECT_EQ(t_.window.MessageTexts().back(), kFeatureNotAvailable);
}

// Stands in for the FUSE mount: records what it is asked to serve, and refuses on request.
class RecordingMounter : public CatalogueMounter {
 public:
  std::string Mount(const PartitionSource& partition, Catalogue catalogue, BodySource, const std::string& folder,
                    const StopToken& stop, BuildStatusSink& status) override {
    if (untilStopped) {
      // A slow disk's live tree: read until the user stops it.
      preparing = true;
      while (!stop.Requested()) {
        status.ShowProgress(40);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
      preparing = false;
      return "stopped";
    }
    folders.push_back(folder);
    starts.push_back(partition.startSector);
    files = catalogue.fileList.size();
    mounted = refusal.empty();
    return refusal;
  }
  void Unmount() override { mounted = false; }
  std::string refusal;
  bool untilStopped = false;
  std::atomic<bool> preparing{false};
  std::vector<std::string> folders;
  std::vector<std::uint64_t> starts;
  std::size_t files = 0;
  bool mounted = false;
};

TEST_F(WizardTest, BrowseServesTheCatalogueInAPrivateFolderUntilTheCatalogueChanges) {
  const fs::path runtime = out_.Path() / "runtime";
  fs::create_directory(runtime);
  ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  Start({FixtureImage("mbr-mixed")});
  ChooseDiskAndMode(kQuickSearchMode);
  PickPartitionAt(94208);
  BuildCatalogue(FileSearchKind::Quick);
  EXPECT_TRUE(wizard_.CommandStateOf(kMenuBrowse).enabled);
  wizard_.Command(kMenuBrowse);  // nothing to mount with
  wizard_.Workers().WaitAll();
  EXPECT_EQ(t_.window.Messages().back().text, kBrowseUnavailable);
  EXPECT_TRUE(t_.window.OpenedDocuments().empty());

  RecordingMounter mounter;
  wizard_.UseMounter(&mounter);

  wizard_.Command(kBrowseButton);
  wizard_.Workers().WaitAll();
  ASSERT_EQ(mounter.folders.size(), 1u);
  const fs::path folder = mounter.folders[0];
  EXPECT_EQ(folder.parent_path(), runtime);
  EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);  // a private folder
  EXPECT_EQ(mounter.starts[0], 94208u);
  EXPECT_EQ(mounter.files, t_.state.catalogue.fileList.size());
  EXPECT_EQ(t_.window.OpenedDocuments(), std::vector<std::string>{folder.string()});
  // Again: the folder already served is opened once more.
  wizard_.Command(kMenuBrowse);
  wizard_.Workers().WaitAll();
  EXPECT_EQ(mounter.folders.size(), 1u);
  EXPECT_EQ(t_.window.OpenedDocuments().size(), 2u);

  wizard_.Back();
  EXPECT_FALSE(mounter.mounted);
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_EQ(wizard_.BrowsedFolder(), "");
  EXPECT_FALSE(wizard_.CommandStateOf(kMenuBrowse).enabled);

  // A refused mount leaves no folder behind and says why.
  BuildCatalogue(FileSearchKind::Quick);
  mounter.refusal = "no FUSE here";
  wizard_.Command(kBrowseButton);
  wizard_.Workers().WaitAll();
  ASSERT_EQ(mounter.folders.size(), 2u);
  EXPECT_FALSE(fs::exists(mounter.folders[1]));
  EXPECT_EQ(t_.window.Messages().back().text, std::string(kBrowseFailed) + "no FUSE here");
  EXPECT_EQ(t_.window.OpenedDocuments().size(), 2u);

  // Load Log, which would replace the catalogue, is greyed while one is shown (and served).
  mounter.refusal.clear();
  wizard_.Command(kMenuBrowse);
  wizard_.Workers().WaitAll();
  ASSERT_TRUE(mounter.mounted);
  EXPECT_FALSE(wizard_.CommandStateOf(kMenuLoadLog).enabled);
  wizard_.Command(kMenuLoadLog);
  wizard_.Workers().WaitAll();
  EXPECT_TRUE(mounter.mounted);
  wizard_.Back();
  EXPECT_FALSE(mounter.mounted);
  EXPECT_FALSE(fs::exists(mounter.folders[2]));
  BuildCatalogue(FileSearchKind::Quick);

  // The window closes: unmounted before the process ends, and only when it does.
  ASSERT_EQ(t_.state.stage, WizardStage::Catalogue);
  wizard_.Command(kBrowseButton);
  wizard_.Workers().WaitAll();
  ASSERT_TRUE(mounter.mounted);
  t_.answers.AddYesNo(false);
  wizard_.Command(kMenuExit);
  EXPECT_TRUE(mounter.mounted);
  t_.answers.AddYesNo(true);
  wizard_.Command(kMenuExit);
  EXPECT_FALSE(mounter.mounted);
  EXPECT_FALSE(fs::exists(mounter.folders[3]));
  EXPECT_EQ(dialogs_.Actions(), std::vector<std::string>{"end"});
  ::unsetenv("XDG_RUNTIME_DIR");
}

TEST_F(WizardTest, BrowsePreparesOnAWorkerWithItsBarAndStopAndAStopMountsNothing) {
  Start({FixtureImage("mbr-mixed")});
  ChooseDiskAndMode(kQuickSearchMode);
  PickPartitionAt(94208);
  BuildCatalogue(FileSearchKind::Quick);
  RecordingMounter mounter;
  mounter.untilStopped = true;
  wizard_.UseMounter(&mounter);
  const std::size_t messages = t_.window.Messages().size();
  wizard_.Command(kBrowseButton);  // returns while the worker prepares
  while (!mounter.preparing) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_TRUE(wizard_.Busy());
  EXPECT_TRUE(At(kStopButton).shown && At(kStopButton).enabled);
  EXPECT_TRUE(At(kSearchProgress).shown);
  EXPECT_EQ(t_.window.ControlText(kStatusText), kPreparingBrowse);
  t_.answers.AddYesNo(true);
  wizard_.Command(kStopButton);
  wizard_.Workers().WaitAll();
  EXPECT_EQ(wizard_.BrowsedFolder(), "");
  EXPECT_TRUE(t_.window.OpenedDocuments().empty());
  EXPECT_EQ(t_.window.Messages().size(), messages + 1);  // the Stop question, and nothing after it
  EXPECT_FALSE(At(kStopButton).shown);
  EXPECT_FALSE(At(kSearchProgress).shown);
  EXPECT_EQ(t_.state.stopRequested.load(), 0);
  EXPECT_EQ(t_.state.stage, WizardStage::Catalogue);
}

TEST_F(WizardTest, LoadLogAtTheFirstStepPreparesTheTreesAndACancelRestoresTheStep) {
  const UnchangedFixtures unchanged{"mbr-mixed"};
  Start({FixtureImage("mbr-mixed")});
  wizard_.ClickDiskItem(Child(TreeId::Disk, t_.window.TreeRoot(TreeId::Disk), "Disk0"));
  wizard_.Command(kLoadLogButton);
  wizard_.Workers().WaitAll();
  EXPECT_TRUE(wizard_.Workers().IsSet(Worker::LogLoad));  // its slot is never emptied
  EXPECT_EQ(t_.window.FileDialogFilters(), std::vector<std::string>{"*.sav"});  // then cancelled
  EXPECT_EQ(t_.window.TreeText(TreeId::Folder, t_.window.TreeRoot(TreeId::Folder)), "Root");
  EXPECT_EQ(t_.window.CurrentView(), WizardView::FirstStep);
  EXPECT_TRUE(At(kDiskTree).shown);
  EXPECT_TRUE(wizard_.CommandStateOf(kLoadLogButton).enabled);

  t_.state.stage = WizardStage::Catalogue;
  wizard_.Command(kSaveLogButton);
  wizard_.Workers().WaitAll();
  EXPECT_EQ(t_.window.FileDialogFilters().back(), "*.Sav");
}

TEST_F(WizardTest, ViewReportOpensTheActivityLogOnlyWhenItExists) {
  t_.state.files.programFolder = programFolder_.Path().string();
  t_.state.files.activityLogPath = (programFolder_.Path() / "nowhere" / "log.txt").string();
  wizard_.Command(kMenuViewReport);
  EXPECT_EQ(t_.window.MessageTexts().back(), kLogFileNotFound);
  Start({});  // writes the log
  wizard_.Command(kMenuViewReport);
  ASSERT_EQ(t_.window.OpenedDocuments().size(), 1u);
  EXPECT_EQ(t_.window.OpenedDocuments()[0], t_.state.files.activityLogPath);
}

TEST_F(WizardTest, ExitAsksFirstAndEndsOnlyOnYes) {
  Start({});
  t_.answers.AddYesNo(false);
  wizard_.Command(kExitButton);
  EXPECT_TRUE(dialogs_.Actions().empty());
  t_.answers.AddYesNo(true);
  wizard_.Command(kMenuExit);
  EXPECT_EQ(t_.answers.QuestionsAsked(), (std::vector<std::string>{kExitQuestion, kExitQuestion}));
  EXPECT_EQ(dialogs_.Actions(), std::vector<std::string>{"end"});
}

TEST_F(WizardTest, ExitDuringARawRunStopsItAndEndsWithoutWaitingOnItsSummary) {
  MemoryDiskSource& disk = t_.UseMemoryDisk(std::size_t{100} * 800);  // a hundred windows, read slowly
  std::atomic<bool> reading{false};
  disk.onRead = [&](std::uint64_t, std::size_t) {
    reading = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  };
  Start({});
  ChooseDiskAndMode(kRawRecoveryMode);
  t_.window.ListSetRowChecked(kRawFileTypesList, 0, true);
  t_.window.AnswerDestinationWith((out_.Path() / "carved").string());
  wizard_.Command(kRawStartButton);
  while (!reading) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  t_.answers.AddYesNo(true);
  wizard_.Command(kMenuExit);
  EXPECT_EQ(dialogs_.Actions(), std::vector<std::string>{"end"});
  EXPECT_TRUE(t_.state.rawRecovery.report.stopped);
  EXPECT_EQ(t_.window.MessageTexts(), std::vector<std::string>{kExitQuestion});
}

TEST_F(WizardTest, StopSearchingHoldsWorkersWhileAskingAndStopsOnlyOnYes) {
  Start({});
  t_.answers.AddYesNo(false);
  wizard_.Command(kStopButton);
  EXPECT_EQ(t_.state.stopRequested.load(), 0);
  t_.answers.AddYesNo(true);
  wizard_.Command(kStopButton);
  EXPECT_EQ(t_.state.stopRequested.load(), 1);

  // A worker that reports while the question is open waits there until it is answered.
  std::atomic<bool> reported{false};
  t_.window.Pause().Hold();
  std::thread worker([&] {
    t_.window.SetControlText(kStatusText, "Searching Partitions");
    reported = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(reported);
  t_.window.SetControlText(kFoundCount, "");  // the window's own thread is never held
  t_.window.Pause().Release();
  worker.join();
  EXPECT_TRUE(reported);
}

TEST_F(WizardTest, LanguageFileGivesTheModeDescriptionsWhateverTheCaseOfTheSetting) {
  const UnchangedFixtures unchanged{"mbr-mixed"};
  std::ofstream(programFolder_ / "FrenchA.dat") << "# test\n0\tMode rapide\n2\tMode brut\n";
  Start({FixtureImage("mbr-mixed")}, "frencha.DAT");
  EXPECT_EQ(t_.state.files.languageFileName, "frencha.DAT");
  wizard_.ClickDiskItem(Child(TreeId::Disk, t_.window.TreeRoot(TreeId::Disk), "Disk0"));
  EXPECT_EQ(wizard_.HoverMode(kQuickSearchMode), "Mode rapide");
  // A message the file lacks stays English.
  EXPECT_EQ(wizard_.HoverMode(kAdvancedSearchMode), "Use this mode when Quick Search fails to recover files");
}

}  // namespace
}  // namespace vantrel::test
