// Saving whole partitions of the real images, checked file by file against the manifests'
// checksums; and the run's answers: replace, options, write errors.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>

#include "app/FolderChecks.h"
#include "app/FolderTree.h"
#include "app/DiskList.h"
#include "app/CatalogueBuildCommands.h"
#include "saving/FileBody.h"
#include "saving/FileSaver.h"
#include "saving/SafeName.h"
#include "app/SavingCommands.h"
#include "support/Fixtures.h"
#include "support/Sha256.h"
#include "support/TempDir.h"
#include "support/TestWizard.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

class SavingOnFixtures : public ::testing::Test {
 protected:
  void Build(const std::string& image, int linuxIndex, bool advanced) {
    unchanged_.emplace(FixtureImage(image));
    partition_ = wizard_.BuildFixtureCatalogue(image, linuxIndex, advanced);
  }
  void SaveAll() {
    ToggleCheck(wizard_.state, wizard_.window.TreeRoot(TreeId::Folder));
    wizard_.state.destinationPath = out_.Path().string();
    wizard_.state.saving.mode = SaveMode::CheckedInTree;
    RunSaving(wizard_.state);
  }
  // Files (and symlinks, saved as their target text) of a listing that are not where
  // they belong or differ from their checksum.
  std::vector<std::string> Mismatches(const nlohmann::json& entries, bool onlyRemoved = false) {
    std::vector<std::string> wrong;
    for (const auto& entry : entries) {
      if (entry["kind"] == "dir" || (onlyRemoved && !entry.value("removed", false))) continue;
      const std::string path = entry["path"];
      if (Sha256OfFile((out_.Path() / SavedPath(path)).string()) != entry["sha256"]) wrong.push_back(path);
    }
    return wrong;
  }
  std::optional<UnchangedImage> unchanged_;
  nlohmann::json partition_;
  TestWizard wizard_;
  TempDir out_;
};

struct Volume {
  const char* image;
  int linuxIndex;
};

class SavingWholeVolumes : public SavingOnFixtures, public ::testing::WithParamInterface<Volume> {};

TEST_P(SavingWholeVolumes, QuickBuildSavesEveryFileByteForByteInItsFolder) {
  // Sparse files, tails after blocks, empty files, replaced characters, moved objects,
  // both names of a hard link, the root folder's own files, and the 3.5 layout.
  Build(GetParam().image, GetParam().linuxIndex, false);
  SaveAll();
  EXPECT_EQ(Mismatches(partition_["entries"]), std::vector<std::string>{});
  EXPECT_TRUE(wizard_.state.saving.run.damagedFiles.empty());
  EXPECT_TRUE(wizard_.state.saving.run.shortFiles.empty());
}

INSTANTIATE_TEST_SUITE_P(Fixtures, SavingWholeVolumes,
                         ::testing::Values(Volume{"mbr-mixed", 1}, Volume{"mbr-mixed", 5}, Volume{"bare-36", 0}),
                         [](const ::testing::TestParamInfo<Volume>& volume) {
                           return std::string(volume.param.image == std::string("bare-36") ? "bare" : "mbr") +
                                  std::to_string(volume.param.linuxIndex);
                         });

TEST_F(SavingOnFixtures, AdvancedBuildRecoversDeletedFilesByteForByte) {
  Build("deleted", 1, true);
  SaveAll();
  const auto& before = partition_["earlier_listings"][0]["entries"];
  EXPECT_EQ(Mismatches(before, true), std::vector<std::string>{});
  EXPECT_EQ(Mismatches(partition_["entries"]), std::vector<std::string>{});
  EXPECT_TRUE(wizard_.state.saving.run.damagedFiles.empty());
}

TEST_F(SavingOnFixtures, DeletedFilesOnlySavesWhatTheLiveTreeNoLongerReaches) {
  Build("deleted", 1, true);
  wizard_.state.saving.options.deletedFilter = DeletedFilter::Only;
  SaveAll();
  std::uint32_t removed = 0;
  for (const auto& entry : partition_["earlier_listings"][0]["entries"]) {
    if (entry["kind"] != "file") continue;
    removed += entry["removed"].get<bool>();
    EXPECT_EQ(fs::exists(out_.Path() / SavedPath(entry["path"])), entry["removed"].get<bool>()) << entry["path"];
  }
  EXPECT_GT(removed, 0u);
  EXPECT_EQ(wizard_.state.saving.run.filesWritten, removed);
}

// Pointers of an indirect item patched in a copy of the image: a data block on a leaf, on
// the journal, and past the volume's end. Each file is saved, named damaged with its reason.
TEST_F(SavingOnFixtures, AFileWhoseBlocksCannotHoldItsDataIsNeverCalledWhole) {
  Build("mbr-mixed", 1, true);
  const Catalogue& catalogue = wizard_.state.catalogue;
  std::vector<const ObjectRecord*> multiBlock;
  for (const ObjectRecord& record : catalogue.objectList.Records())
    if (record.pieceCount > 0 && record.size != kNotSeen && record.size > std::uint64_t{3} * 4096)
      multiBlock.push_back(&record);
  ASSERT_GE(multiBlock.size(), 3u);
  ASSERT_FALSE(catalogue.leafBlocks.empty());
  const std::uint32_t targets[] = {catalogue.leafBlocks.back(), catalogue.currentSuperblock.journal[0] + 1,
                                   catalogue.currentSuperblock.blockCount + 5};
  const TempDir copyDir;
  const std::string copy = copyDir / "patched.img";
  fs::copy_file(FixtureImage("mbr-mixed"), copy);
  {
    std::fstream image(copy, std::ios::in | std::ios::out | std::ios::binary);
    for (std::size_t i = 0; i < 3; ++i) {
      const char pointer[4] = {static_cast<char>(targets[i]), static_cast<char>(targets[i] >> 8),
                               static_cast<char>(targets[i] >> 16), static_cast<char>(targets[i] >> 24)};
      // Every copy of the items, so that no newer one points elsewhere.
      for (const BodyPiece& piece : catalogue.objectList.Pieces(*multiBlock[i])) {
        const std::uint64_t at = std::uint64_t{2048} * 512 + std::uint64_t{piece.block} * 4096 + piece.location;
        image.seekp(static_cast<std::streamoff>(at));
        image.write(pointer, sizeof pointer);
      }
    }
  }
  wizard_.UseImages({copy});
  ReplaceFolderTree(wizard_.state);
  AdvancedCatalogueBuild(wizard_.state);
  SaveAll();
  const SavingRun& run = wizard_.state.saving.run;
  ASSERT_EQ(run.damagedFiles.size(), 3u);
  const std::set<std::string> reasons(run.damageReasons.begin(), run.damageReasons.end());
  EXPECT_EQ(reasons, (std::set<std::string>{"blocks on tree nodes", "blocks on the superblock, bitmaps or journal",
                                            "blocks outside the volume written as zeros"}));
}

// The tree's items under the root whose text is text, at any depth.
bool TreeShows(HeadlessWindow& window, TreeItemHandle item, const std::string& text) {
  for (const TreeItemHandle child : window.TreeChildren(TreeId::Folder, item))
    if (window.TreeText(TreeId::Folder, child) == text || TreeShows(window, child, text)) return true;
  return false;
}

TEST_F(SavingOnFixtures, TheWindowShowsDecodedNamesSavesTheDisksBytesAndListsSafeNames) {
  wizard_.state.saving.options.nameEncoding = "ISO-8859-1";
  Build("names", 1, false);
  HeadlessWindow& window = wizard_.window;
  const TreeItemHandle root = window.TreeRoot(TreeId::Folder);
  EXPECT_TRUE(TreeShows(window, root, "caf\xc3\xa9"));
  EXPECT_FALSE(TreeShows(window, root, "caf\xe9"));
  wizard_.state.saving.options.safeNames = true;
  SaveAll();
  ReportSavingRun(wizard_.state);
  // The decoded tree text is no name to save under: the disk's bytes are.
  EXPECT_TRUE(fs::exists(out_.Path() / "latin1/caf\xe9/men\xfc \xe0 la carte.txt"));
  EXPECT_TRUE(fs::exists(out_.Path() / "specials/dir_one (2)/inside colon.txt"));
  EXPECT_EQ(fs::file_size(out_.Path() / "specials/a_b.txt"), 90u);
  EXPECT_EQ(wizard_.state.saving.run.renamedEntries.size(), 14u);
  ASSERT_FALSE(window.Messages().empty());
  const std::string summary = window.Messages().back().text;
  EXPECT_NE(summary.find("Saved under another name (the destination cannot hold the name, or it was taken) : 14"),
            std::string::npos)
      << summary;
  EXPECT_NE(summary.find("and 9 more"), std::string::npos) << summary;
}

TEST_F(SavingOnFixtures, ReplaceAnswersAreAskedOnceForAllAndNoToAllKeepsFiles) {
  Build("bare-36", 0, false);
  SaveAll();
  const std::uint32_t saved = wizard_.state.saving.run.filesWritten;
  ASSERT_GT(saved, 10u);
  const fs::path notes = out_.Path() / "notes.txt";
  std::ofstream(notes, std::ios::trunc) << "mine";

  wizard_.answers.AddReplace(ReplaceAnswer::No);
  wizard_.answers.AddReplace(ReplaceAnswer::NoToAll);
  RunSaving(wizard_.state);
  EXPECT_EQ(wizard_.answers.ReplacePrompts(), 2);
  EXPECT_EQ(wizard_.state.saving.run.filesKeptExisting, saved);
  std::ifstream kept(notes);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "mine");

  wizard_.answers.AddReplace(ReplaceAnswer::YesToAll);
  RunSaving(wizard_.state);
  EXPECT_EQ(wizard_.answers.ReplacePrompts(), 3);
  EXPECT_EQ(wizard_.state.saving.run.filesWritten, saved);
  EXPECT_EQ(Mismatches(partition_["entries"]), std::vector<std::string>{});
}

TEST_F(SavingOnFixtures, ALinkWhereAFileIsSavedIsReplacedAndNeverWrittenThrough) {
  Build("bare-36", 0, false);
  SaveAll();
  const fs::path notes = out_.Path() / "notes.txt";
  const fs::path target = out_.Path() / "elsewhere";
  std::ofstream(target) << "untouched";
  fs::remove(notes);
  fs::create_symlink(target, notes);
  const fs::path letter = out_.Path() / SavedPath("Documents/Letters/letter-01.txt");
  fs::remove(letter);
  fs::create_symlink(out_.Path() / "missing", letter);  // a link to nothing is there too

  wizard_.answers.AddReplace(ReplaceAnswer::YesToAll);
  RunSaving(wizard_.state);
  EXPECT_EQ(wizard_.answers.ReplacePrompts(), 1);
  EXPECT_FALSE(fs::is_symlink(notes));
  EXPECT_FALSE(fs::is_symlink(letter));
  EXPECT_FALSE(fs::exists(out_.Path() / "missing"));
  std::ifstream kept(target);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "untouched");
  EXPECT_EQ(Mismatches(partition_["entries"]), std::vector<std::string>{});
}

TEST_F(SavingOnFixtures, OptionsChooseTheFilesAndUncheckedFoldersAreLeftOut) {
  Build("mbr-mixed", 1, false);
  wizard_.state.saving.options.extensionList = {"TXT"};
  SaveAll();
  std::size_t texts = 0;
  for (const auto& entry : partition_["entries"]) {
    if (entry["kind"] != "file") continue;
    const std::string path = entry["path"];
    const bool text = path.size() > 4 && path.substr(path.size() - 4) == ".txt";
    texts += text;
    EXPECT_EQ(fs::exists(out_.Path() / SavedPath(path)), text) << path;
  }
  EXPECT_EQ(wizard_.state.saving.run.filesWritten, texts);

  // Unchecking "bulk" leaves its files out of the next run.
  TempDir second;
  wizard_.state.saving.options = SavingOptions{};
  wizard_.state.destinationPath = second.Path().string();
  for (const TreeItemHandle item : wizard_.window.TreeChildren(TreeId::Folder, wizard_.window.TreeRoot(TreeId::Folder)))
    if (wizard_.window.TreeText(TreeId::Folder, item) == "bulk") ToggleCheck(wizard_.state, item);
  RunSaving(wizard_.state);
  EXPECT_FALSE(fs::exists(second.Path() / "bulk"));
  EXPECT_TRUE(fs::exists(second.Path() / "deep"));
}

TEST_F(SavingOnFixtures, DestinationThatCannotTakeAFileAsksAndNeverKeepsAShortCopy) {
  Build("mbr-mixed", 1, false);
  // Files may grow to 50000 bytes here: larger ones fail as on a full disk.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 50000;
  ::setrlimit(RLIMIT_FSIZE, &small);
  wizard_.answers.AddWriteError(WriteErrorAnswer::Skip);
  wizard_.answers.AddWriteError(WriteErrorAnswer::Abort);
  SaveAll();
  ::setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_EQ(wizard_.answers.WriteErrorPrompts(), 2);
  EXPECT_EQ(wizard_.state.saving.run.filesFailed, 2u);
  for (const auto& entry : partition_["entries"]) {
    if (entry["kind"] == "file" && entry["size"].get<std::uint64_t>() > 50000) {
      EXPECT_FALSE(fs::exists(out_.Path() / SavedPath(entry["path"]))) << entry["path"];
    }
  }
  EXPECT_EQ(wizard_.state.saving.run.requests.stop.load(), 0);  // cleared when the run ended
}

TEST_F(SavingOnFixtures, NothingCheckedSaysSoAndAMissingDestinationIsRefused) {
  Build("bare-36", 0, false);
  wizard_.state.destinationPath = out_.Path().string();
  wizard_.state.saving.mode = SaveMode::CheckedInTree;
  RunSaving(wizard_.state);
  EXPECT_EQ(wizard_.window.MessageTexts().back(), kNoFolderSelected);

  wizard_.state.destinationPath = "/proc/self/no-such-place";
  RunSaving(wizard_.state);
  EXPECT_EQ(wizard_.window.MessageTexts().back(), kTreeSaveInvalidPath);
}

TEST_F(SavingOnFixtures, UnreadableBlockOfAFileIsWrittenAsZerosAndTheFileNamedDamaged) {
  // Find where the third block of the 300000-byte file lies, then image the disk again with
  // a ddrescue map that marks that block bad.
  Build("mbr-mixed", 1, false);
  const auto file = std::find_if(wizard_.state.catalogue.fileList.begin(), wizard_.state.catalogue.fileList.end(),
                                 [](const CatalogueEntry& e) { return e.size == 300000; });
  ASSERT_NE(file, wizard_.state.catalogue.fileList.end());
  const FileBody body = BodyCollector(CurrentPartitionSource(wizard_.state), wizard_.state.catalogue, BodySource::Tree)
                            .Collect(file->objectId, file->parentId);
  ASSERT_GT(body.blocks.size(), 3u);
  const std::uint64_t badByte = (2048 + std::uint64_t{body.blocks[2].block} * 8) * 512;
  TempDir mapDir;
  std::ofstream((mapDir / "disk.map").string()) << "0x0 +\n0x0 " << badByte << " +\n" << badByte << " 4096 -\n"
                                                << badByte + 4096 << " 0x10000000 +\n";
  EnumerateDisks(wizard_.state, {{*unchanged_, (mapDir / "disk.map").string()}});
  ReplaceFolderTree(wizard_.state);
  QuickCatalogueBuild(wizard_.state);
  wizard_.answers.AddBadSector(BadSectorAnswer::Skip);
  SaveAll();

  EXPECT_EQ(wizard_.answers.BadSectorPrompts(), 1);
  ASSERT_EQ(wizard_.state.saving.run.damagedFiles.size(), 1u);
  const std::string saved = wizard_.state.saving.run.damagedFiles[0];
  // The question named the block's sectors and the file being saved.
  ASSERT_EQ(wizard_.window.BadSectorQuestions().size(), 1u);
  const BadSectorQuestion& asked = wizard_.window.BadSectorQuestions()[0];
  EXPECT_EQ(asked.firstSector, badByte / 512);
  EXPECT_EQ(asked.count, 8u);
  EXPECT_EQ(asked.file, saved);
  EXPECT_EQ(fs::file_size(saved), 300000u);
  std::ifstream in(saved, std::ios::binary);
  const std::string content(std::istreambuf_iterator<char>(in), {});
  EXPECT_EQ(content.substr(8192, 4096), std::string(4096, '\0'));
  EXPECT_NE(content.substr(4096, 4096), std::string(4096, '\0'));
}

// Closes the program (as the window does) when the first file larger than a stretch is
// half written.
class ClosingMidFile : public SaveProgress {
 public:
  void OnFileProgress(SavingRun& run, std::uint64_t written, std::uint64_t size) override {
    if (written < size) run.requests.abandon = 1;
  }
};

TEST_F(SavingOnFixtures, ClosingDuringASaveRemovesTheFileBeingWrittenAndSavesNothingAfterIt) {
  Build("mbr-mixed", 1, false);
  const Catalogue& catalogue = wizard_.state.catalogue;
  SaveSelection selection;
  std::size_t big = SaveStep::kNoFile, small = SaveStep::kNoFile, after = SaveStep::kNoFile;
  for (std::size_t i = 0; i < catalogue.fileList.size(); ++i) {
    const std::uint64_t size = catalogue.fileList[i].size;
    if (size == 2097271) big = i;
    else if (size > 0 && size < 4096) (small == SaveStep::kNoFile ? small : after) = i;
  }
  ASSERT_NE(big, SaveStep::kNoFile);
  ASSERT_NE(after, SaveStep::kNoFile);
  selection.AddFile({}, small);
  selection.AddFile({}, big);
  selection.AddFile({}, after);
  ClosingMidFile progress;
  SavingRun& run = wizard_.state.saving.run;
  run.Reset();
  const SaveReport report = SaveSelected({CurrentPartitionSource(wizard_.state), BodySource::Tree, out_.Path()},
                                         catalogue, selection, wizard_.state.saving.options, wizard_.window, progress,
                                         run);
  // (the small one is a symbolic link, saved as one: it may lead nowhere)
  EXPECT_TRUE(fs::exists(fs::symlink_status(out_.Path() / SafeName(catalogue.Name(catalogue.fileList[small])))));
  EXPECT_FALSE(fs::exists(out_.Path() / SafeName(catalogue.Name(catalogue.fileList[big]))));
  EXPECT_FALSE(fs::exists(out_.Path() / SafeName(catalogue.Name(catalogue.fileList[after]))));
  EXPECT_TRUE(report.shortFiles.empty());
  EXPECT_EQ(report.filesWritten, 1u);
}

TEST_F(SavingOnFixtures, ViewingAFileWritesItToTheTemporaryFolderAndOpensIt) {
  Build("bare-36", 0, false);
  wizard_.state.files.tempFolder = out_.Path().string();
  const auto& files = wizard_.state.catalogue.fileList;
  const auto notes = std::find_if(files.begin(), files.end(), [&](const CatalogueEntry& e) {
    return wizard_.state.catalogue.Name(e) == "notes.txt";
  });
  ASSERT_NE(notes, files.end());
  ASSERT_TRUE(ViewFile(wizard_.state, *notes));
  ASSERT_EQ(wizard_.window.OpenedDocuments(), std::vector<std::string>{(out_.Path() / "notes.txt").string()});
  EXPECT_EQ(Mismatches(nlohmann::json::array({*std::find_if(partition_["entries"].begin(), partition_["entries"].end(),
                                                             [](const auto& e) { return e["path"] == "notes.txt"; })})),
            std::vector<std::string>{});

  wizard_.state.files.tempFolder = "/proc/self/no-such-place";
  EXPECT_FALSE(ViewFile(wizard_.state, *notes));
  EXPECT_EQ(wizard_.window.MessageTexts().back(), kViewFileFailed);
}

TEST(SafeName, ReplacesSeparatorsAndReservedCharactersAndNamesThatClimb) {
  EXPECT_EQ(SafeName("a:b*c.txt"), "a_b_c.txt");
  EXPECT_EQ(SafeName("q?\"<>|/\\"), "q_______");
  EXPECT_EQ(SafeName(".."), "__");
  EXPECT_EQ(SafeName("."), "_");
  EXPECT_EQ(SafeName(""), "_");
  EXPECT_EQ(SafeName("...x"), "...x");
  EXPECT_EQ(SafeName(std::string("a\0b", 3)), "a_b");
}

}  // namespace
}  // namespace vantrel::test
