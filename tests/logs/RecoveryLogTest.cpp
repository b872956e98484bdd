// Save Log and Load Log in the wizard: naming, refusals, the load rules by stage, and both
// catalogue builds of every fixture coming back whole from a log.

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <tuple>

#include "app/ControlIds.h"
#include "app/FolderTree.h"
#include "app/DiskList.h"
#include "app/RecoveryLogCommands.h"
#include "app/RunSummaries.h"
#include "app/SavingCommands.h"
#include "app/FolderListing.h"
#include "app/ValueFields.h"
#include "logs/RecoveryLogFile.h"
#include "logs/RecoveryLogFormat.h"
#include "app/CatalogueBuildCommands.h"
#include "reiserfs/catalogue/FolderLayout.h"
#include "app/PartitionList.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"
#include "support/TestWizard.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A log of model "MODEL" with `partitions` partitions, the second selected, and a folder
// "docs" holding "notes".
std::string SmallLog(std::size_t partitions = 3) {
  Catalogue catalogue;
  AppendFolder(catalogue, "Lost", kLostFolderId, 0, 0, 0, 0);
  AppendFolder(catalogue, "docs", 40, 2, 0, 0, 0).folderId = 2;
  AppendFile(catalogue, "notes", 41, 40, 0, 5, 1).folderId = 40;
  std::vector<LoggedPartition> table;
  for (std::size_t i = 0; i < partitions; ++i) table.push_back({1000 + i, 63 + 2000 * i});
  const RecoveryLogHead head{"MODEL", 2, 1, 0, partitions > 1 ? table[1] : LoggedPartition{}};
  return EncodeRecoveryLog(head, table, catalogue);
}

ByteSpan Span(const std::string& bytes) { return std::as_bytes(std::span(bytes.data(), bytes.size())); }

class RecoveryLogTest : public ::testing::Test {
 protected:
  RecoveryLogTest() {
    wizard_.UseMemoryDisk(4096);
    wizard_.UseMemoryDisk(4096);
    // Disk1 is selected at stage 0; the log says Disk0.
    state().disks.selectedLabel = "Disk1";
    state().disks.selectedModel = "MODEL";
    state().disks.currentIndex = 0;
    state().recoveryMode = RecoveryMode::QuickSearch;
  }
  WizardState& state() { return wizard_.state; }
  HeadlessWindow& window() { return wizard_.window; }

  // What a refused load must leave as it was.
  auto Snapshot() {
    return std::make_tuple(state().stage.load(), state().recoveryMode, state().fileSearchKind, state().disks.currentIndex,
                           state().currentPartition.partitionStartSector, state().partitionTable.count,
                           state().catalogue.folderList.size(), state().catalogue.fileList.size(),
                           window().CurrentView(), window().Control(control::kBackButton).enabled,
                           window().TreeRoot(TreeId::Partition));
  }

  TestWizard wizard_;
  TempDir temp_;
};

TEST(RecoveryLogPath, FileNameIsUpperCasedAndGetsTheSavExtension) {
  EXPECT_EQ(RecoveryLogPath("notes"), "NOTES.SAV");
  EXPECT_EQ(RecoveryLogPath("old.sav"), "OLD.SAV");
  EXPECT_EQ(RecoveryLogPath("keepsav"), "KEEPSAV");  // only the last three characters are looked at
  EXPECT_EQ(RecoveryLogPath("/home/ann/Logs/disk1"), "/home/ann/Logs/DISK1.SAV");
}

TEST_F(RecoveryLogTest, SaveIsRefusedBeforeACatalogueAndReportsFilesItCannotCreate) {
  state().stage = WizardStage::Partitions;
  EXPECT_FALSE(SaveRecoveryLog(state()));
  EXPECT_EQ(window().MessageTexts(), std::vector<std::string>{kSaveLogNeedsCatalogue});
  EXPECT_TRUE(window().FileDialogFilters().empty());

  state().stage = WizardStage::Catalogue;
  EXPECT_FALSE(SaveRecoveryLog(state()));  // the dialog is cancelled
  EXPECT_EQ(window().FileDialogFilters(), std::vector<std::string>{"*.Sav"});
  window().AnswerFileDialogsWith((temp_ / "missing" / "x").string());
  EXPECT_FALSE(SaveRecoveryLog(state()));
  EXPECT_EQ(window().Messages().back().text, kUnableToOpenFile);
  EXPECT_EQ(window().Messages().back().kind, ShownMessage::Kind::SystemPlain);

  window().AnswerFileDialogsWith((temp_ / "x").string());
  EXPECT_EQ(SaveRecoveryLog(state()), (temp_ / "X.SAV").string());
  EXPECT_FALSE(std::filesystem::exists(temp_ / "X.SAV.partial"));
}

TEST_F(RecoveryLogTest, RefusedLoadsChangeNothing) {
  const auto before = Snapshot();
  state().recoveryMode = RecoveryMode::RawRecovery;
  EXPECT_EQ(LoadRecoveryLog(state()), LogLoadOutcome::Refused);
  state().recoveryMode = RecoveryMode::QuickSearch;
  EXPECT_EQ(LoadRecoveryLog(state()), LogLoadOutcome::Cancelled);
  window().AnswerFileDialogsWith((temp_ / "none.sav").string());
  EXPECT_EQ(LoadRecoveryLog(state()), LogLoadOutcome::Refused);
  EXPECT_EQ(window().Messages().back().kind, ShownMessage::Kind::SystemError);

  state().disks.selectedModel = "OTHER";
  EXPECT_EQ(LoadRecoveryLogBytes(state(), Span(SmallLog())), LogLoadOutcome::Refused);
  state().disks.selectedModel = "MODEL";
  const std::string whole = SmallLog();
  EXPECT_EQ(LoadRecoveryLogBytes(state(), Span(whole.substr(0, whole.size() / 2))), LogLoadOutcome::Refused);
  EXPECT_EQ(LoadRecoveryLogBytes(state(), Span(std::string("\x89PNG\r\n"))), LogLoadOutcome::Refused);
  EXPECT_EQ(window().MessageTexts(),
            (std::vector<std::string>{kLogRawModeRefusal, kUnableToOpenFile, kWrongDiskMessage, kDamagedLogMessage,
                                      kDamagedLogMessage}));
  EXPECT_EQ(Snapshot(), before);

  state().stage = WizardStage::Catalogue;
  EXPECT_EQ(LoadRecoveryLog(state()), LogLoadOutcome::Refused);
  EXPECT_EQ(window().MessageTexts().back(), kLoadLogAtCatalogueRefusal);
}

TEST_F(RecoveryLogTest, LoadAtStageZeroTakesPartitionsAndCatalogueAndReadsTheSelectedDisk) {
  WriteFile(temp_ / "a.sav", SmallLog());
  window().AnswerFileDialogsWith((temp_ / "a.sav").string());
  ASSERT_EQ(LoadRecoveryLog(state()), LogLoadOutcome::Loaded);
  EXPECT_EQ(window().FileDialogFilters(), std::vector<std::string>{"*.sav"});
  EXPECT_EQ(state().stage, WizardStage::Catalogue);
  EXPECT_EQ(state().recoveryMode, RecoveryMode::AdvancedSearch);
  EXPECT_EQ(state().fileSearchKind, FileSearchKind::Quick);
  EXPECT_EQ(state().disks.currentIndex, 1);  // the disk whose model matched, not the log's Disk0
  const TreeModel partitions = window().Tree(TreeId::Partition);
  EXPECT_EQ(partitions.Text(partitions.Root()), "Disk 1");
  ASSERT_EQ(partitions.Children(partitions.Root()).size(), 3u);
  EXPECT_EQ(partitions.Text(partitions.Children(partitions.Root())[2]), "ReiserFS 2");
  EXPECT_EQ(state().currentPartition.index, 1);
  EXPECT_EQ(state().currentPartition.partitionStartSector, 2063u);

  const TreeModel folders = window().Tree(TreeId::Folder);
  // docs; the log's "Lost" holds nothing and is not shown (the log keeps its entry).
  ASSERT_EQ(folders.Children(folders.Root()).size(), 1u);
  EXPECT_EQ(state().catalogue.Name(state().catalogue.folderList[0]), kLostFolderName);
  EXPECT_EQ(folders.Text(folders.Children(folders.Root())[0]), "docs");
  EXPECT_EQ(window().CurrentView(), WizardView::CatalogueShown);
  EXPECT_TRUE(window().Control(control::kBackButton).shown);
  EXPECT_TRUE(window().Control(control::kBackButton).enabled);
  EXPECT_TRUE(window().Control(control::kFolderTree).enabled);
  EXPECT_EQ(state().catalogue.fileList.at(0).typeCode, 1);
  EXPECT_EQ(state().catalogue.folderCount, 2u);
}

// Logs written by every version keep the modes as the numbers 1 and 2: a log saved from the
// wizard stores them so, and loads back to the same choices.
TEST_F(RecoveryLogTest, ModesAreStoredByTheirNumbersAndLoadBackAsTheSameChoices) {
  struct Case {
    RecoveryMode mode;
    FileSearchKind kind;
    int storedMode;
    int storedKind;
  };
  for (const Case c : {Case{RecoveryMode::QuickSearch, FileSearchKind::Advanced, 1, 2},
                       Case{RecoveryMode::AdvancedSearch, FileSearchKind::Quick, 2, 1}}) {
    state().stage = WizardStage::Catalogue;
    state().recoveryMode = c.mode;
    state().fileSearchKind = c.kind;
    const std::string path = (temp_ / "MODES.SAV").string();
    ASSERT_TRUE(WriteRecoveryLog(state(), path));
    const auto bytes = ReadRecoveryLogFile(path);
    ASSERT_TRUE(bytes);
    const auto log = DecodeRecoveryLog(Span(*bytes));
    ASSERT_TRUE(log);
    EXPECT_EQ(log->head.recoveryMode, c.storedMode);
    EXPECT_EQ(log->head.fileSearchType, c.storedKind);

    state().stage = WizardStage::DiskAndMode;
    state().recoveryMode = RecoveryMode::None;
    state().fileSearchKind = FileSearchKind::None;
    ASSERT_EQ(LoadRecoveryLogBytes(state(), Span(*bytes)), LogLoadOutcome::Loaded);
    EXPECT_EQ(state().recoveryMode, c.mode);
    EXPECT_EQ(state().fileSearchKind, c.kind);
  }
}

TEST_F(RecoveryLogTest, LoadAtStageOneKeepsThePartitionListOnScreen) {
  state().stage = WizardStage::Partitions;
  ASSERT_TRUE(AddPartitionRecord(state(), 2063, 1001));
  ASSERT_EQ(LoadRecoveryLogBytes(state(), Span(SmallLog(5))), LogLoadOutcome::Loaded);
  EXPECT_EQ(state().partitionTable.count, 1u);
  EXPECT_EQ(state().disks.currentIndex, 0);
  EXPECT_EQ(state().currentPartition.index, 0);
  EXPECT_EQ(state().stage, WizardStage::Catalogue);
}

TEST_F(RecoveryLogTest, MoreThanAHundredPartitionsOnlyFillTheTable) {
  ASSERT_EQ(LoadRecoveryLogBytes(state(), Span(SmallLog(150))), LogLoadOutcome::Loaded);
  EXPECT_EQ(state().partitionTable.count, PartitionTable::kCapacity);
  EXPECT_EQ(window().MessageTexts(), std::vector<std::string>{kPartitionTableFullMessage});
}

TEST_F(RecoveryLogTest, LogWithoutPartitionsOrEntriesShowsAnEmptyCatalogue) {
  const RecoveryLogHead head{"MODEL", 1, 1, 0, {}};
  ASSERT_EQ(LoadRecoveryLogBytes(state(), Span(EncodeRecoveryLog(head, {}, Catalogue{}))), LogLoadOutcome::Loaded);
  EXPECT_EQ(state().stage, WizardStage::Catalogue);
  EXPECT_TRUE(state().catalogue.folderList.empty());
  const TreeModel folders = window().Tree(TreeId::Folder);
  EXPECT_TRUE(folders.Children(folders.Root()).empty());
}

// ---- Both builds of every fixture, saved and loaded ----

struct FixtureCase {
  const char* image;
  bool advanced;
};

class FixtureLogs : public ::testing::TestWithParam<FixtureCase> {
 protected:
  void OpenImage(TestWizard& wizard, const std::string& image) {
    unchanged_.emplace(FixtureImage(image));
    wizard.UseImages({*unchanged_});
    wizard.state.disks.selectedLabel = "Disk0";
    ShowDiskDetails(wizard.state, 0);
  }
  std::optional<UnchangedImage> unchanged_;
};

using EntryFields = std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, std::string, std::uint32_t,
                               std::uint64_t, std::uint8_t>;
std::vector<EntryFields> Fields(const Catalogue& catalogue, const EntryList& entries) {
  std::vector<EntryFields> fields;
  for (const auto& e : entries)
    fields.emplace_back(e.objectId, e.parentId, e.folderId, catalogue.Name(e), e.modificationTime, e.size, e.typeCode);
  return fields;
}

using PieceFields = std::vector<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t, std::uint64_t>>;
PieceFields Fields(std::span<const BodyPiece> pieces) {
  PieceFields fields;
  for (const auto& p : pieces) fields.emplace_back(p.block, p.location, p.length, p.offset);
  return fields;
}

void ExpectSameObjects(const ObjectList& built, ObjectList& loaded) {
  ASSERT_EQ(built.Size(), loaded.Size());
  for (std::size_t i = 0; i < built.Size(); ++i) {
    const ObjectRecord& a = built[i];
    const ObjectRecord& b = loaded[i];
    EXPECT_EQ(std::tie(a.objectId, a.dirId, a.folderId, a.modificationTime, a.size, a.mode),
              std::tie(b.objectId, b.dirId, b.folderId, b.modificationTime, b.size, b.mode))
        << i;
    EXPECT_EQ(built.Name(a), loaded.Name(b)) << i;
    EXPECT_EQ(Fields(built.Pieces(a)), Fields(loaded.Pieces(b))) << i;
    EXPECT_EQ(Fields(built.TailPieces(a)), Fields(loaded.TailPieces(b))) << i;
    EXPECT_EQ(loaded.Find(a.objectId, a.dirId), &b);
  }
}

TEST_P(FixtureLogs, CatalogueComesBackWholeFromItsLog) {
  const FixtureCase c = GetParam();
  TempDir temp;
  TestWizard built;
  OpenImage(built, c.image);
  const nlohmann::json partition = FixtureManifest(c.image)["partitions"][0];
  built.state.currentPartition = {partition["start_sector"].get<std::uint64_t>(),
                                  partition["size_sectors"].get<std::uint64_t>(), -1};
  built.state.recoveryMode = RecoveryMode::QuickSearch;
  built.state.fileSearchKind = c.advanced ? FileSearchKind::Advanced : FileSearchKind::Quick;
  built.state.stage = WizardStage::Partitions;
  ReplaceFolderTree(built.state);
  if (c.advanced)
    AdvancedCatalogueBuild(built.state);
  else
    QuickCatalogueBuild(built.state);
  built.window.AnswerFileDialogsWith((temp / "log").string());
  ASSERT_TRUE(SaveRecoveryLog(built.state));

  TestWizard loaded;
  OpenImage(loaded, c.image);
  loaded.window.AnswerFileDialogsWith((temp / "LOG.SAV").string());
  ASSERT_EQ(LoadRecoveryLog(loaded.state), LogLoadOutcome::Loaded);

  const Catalogue& a = built.state.catalogue;
  Catalogue& b = loaded.state.catalogue;
  EXPECT_EQ(Fields(a, a.folderList), Fields(b, b.folderList));
  EXPECT_EQ(Fields(a, a.fileList), Fields(b, b.fileList));
  EXPECT_EQ(a.currentSuperblock.Encode(), b.currentSuperblock.Encode());
  if (c.advanced) ExpectSameObjects(a.objectList, b.objectList);
  const CataloguePaths pathsA = PathsOf(a, LayOutFolders(a));
  const CataloguePaths pathsB = PathsOf(b, LayOutFolders(b));
  EXPECT_EQ(pathsA.folders, pathsB.folders);
  EXPECT_EQ(pathsA.files, pathsB.files);
  EXPECT_EQ(loaded.state.currentPartition.partitionStartSector, built.state.currentPartition.partitionStartSector);
  EXPECT_FALSE(a.stopped);
  EXPECT_FALSE(b.stopped);
  EXPECT_EQ(loaded.window.Tree(TreeId::Folder).Children(loaded.window.TreeRoot(TreeId::Folder)).size(),
            built.window.Tree(TreeId::Folder).Children(built.window.TreeRoot(TreeId::Folder)).size());
}

INSTANTIATE_TEST_SUITE_P(BothBuilds, FixtureLogs,
                         ::testing::Values(FixtureCase{"mbr-mixed", false}, FixtureCase{"mbr-mixed", true},
                                           FixtureCase{"bare-36", false}, FixtureCase{"bare-36", true},
                                           FixtureCase{"reformatted", false}, FixtureCase{"reformatted", true},
                                           FixtureCase{"deleted", false}, FixtureCase{"deleted", true}),
                         [](const auto& param) {
                           std::string name = std::string(param.param.image) + (param.param.advanced ? "Advanced" : "Quick");
                           std::erase(name, '-');
                           return name;
                         });

TEST_F(FixtureLogs, AStoppedBuildIsMarkedIncompleteWhereItIsShownSavedAndLogged) {
  TempDir temp;
  TestWizard built;
  OpenImage(built, "mbr-mixed");
  const nlohmann::json partition = FixtureManifest("mbr-mixed")["partitions"][0];
  built.state.currentPartition = {partition["start_sector"].get<std::uint64_t>(),
                                  partition["size_sectors"].get<std::uint64_t>(), -1};
  built.state.recoveryMode = RecoveryMode::AdvancedSearch;
  built.state.fileSearchKind = FileSearchKind::Advanced;
  built.state.stage = WizardStage::Partitions;
  ReplaceFolderTree(built.state);
  const CatalogueBuildJob job = BeginCatalogueBuild(built.state, true);
  built.state.stopRequested.store(1);  // Stop, and Yes, as the scan begins
  RunCatalogueBuild(built.state, job);
  ASSERT_TRUE(built.state.catalogue.stopped);
  EXPECT_EQ(built.window.ControlText(control::kStatusText), kIncompleteCatalogue);
  // The search's field keeps saying so when a folder takes the status line.
  const std::string stoppedSearch = std::string("Advanced File/Folder Search") + kStoppedSearchSuffix;
  EXPECT_EQ(built.window.ControlText(control::kSearchModeValue), stoppedSearch);
  ShowFolder(built.state, kRootFolderId);
  EXPECT_EQ(built.window.ControlText(control::kSearchModeValue), stoppedSearch);

  // Saved from: the summary says what it was saved from.
  built.state.saving.run.filesSaved = 1;
  ReportSavingRun(built.state);
  EXPECT_NE(built.window.MessageTexts().back().find(kIncompleteCatalogue), std::string::npos);

  // Logged: the log keeps the mark, and its catalogue is shown as incomplete again.
  built.window.AnswerFileDialogsWith((temp / "log").string());
  ASSERT_TRUE(SaveRecoveryLog(built.state));
  TestWizard loaded;
  OpenImage(loaded, "mbr-mixed");
  loaded.window.AnswerFileDialogsWith((temp / "LOG.SAV").string());
  ASSERT_EQ(LoadRecoveryLog(loaded.state), LogLoadOutcome::Loaded);
  EXPECT_TRUE(loaded.state.catalogue.stopped);
  EXPECT_EQ(loaded.window.ControlText(control::kStatusText), kIncompleteCatalogue);
  EXPECT_EQ(loaded.window.ControlText(control::kSearchModeValue), stoppedSearch);

  // A build that ran to its end clears the mark.
  RunCatalogueBuild(built.state, BeginCatalogueBuild(built.state, true));
  EXPECT_FALSE(built.state.catalogue.stopped);
  EXPECT_EQ(built.window.ControlText(control::kStatusText), "");
  EXPECT_EQ(built.window.ControlText(control::kSearchModeValue), "Advanced File/Folder Search");
}

}  // namespace
}  // namespace vantrel::test
