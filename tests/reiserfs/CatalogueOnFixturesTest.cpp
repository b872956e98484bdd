// Both catalogue builds on the real images, checked against their manifests: every live
// entry with its name, parent, size and time; hard links; the 3.5 partition; and, for the
// advanced build, the entries that were deleted or reformatted away.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>

#include "app/ControlIds.h"
#include "app/FolderTree.h"
#include "app/CatalogueBuildCommands.h"
#include "reiserfs/build/BuildStatus.h"
#include "reiserfs/catalogue/FolderLayout.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"
#include "support/TestWizard.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

using Key = std::pair<std::uint32_t, std::uint32_t>;  // (parentId, objectId)

struct Expected {
  std::string name;
  bool folder;
  std::uint64_t size;
  std::uint32_t mtime;
};

std::string BaseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

Expected FromManifest(const nlohmann::json& entry) {
  const bool folder = entry["kind"] == "dir";
  return {BaseName(entry["path"]), folder, folder ? 0 : entry["size"].get<std::uint64_t>(),
          entry["mtime"].get<std::uint32_t>()};
}

Key KeyOf(const nlohmann::json& entry) { return {entry["key"][0].get<std::uint32_t>(), entry["key"][1].get<std::uint32_t>()}; }

class CatalogueOnFixtures : public ::testing::Test {
 protected:
  void Build(const std::string& image, int linuxIndex, bool advanced) {
    unchanged_.emplace(FixtureImage(image));
    partition_ = wizard_.BuildFixtureCatalogue(image, linuxIndex, advanced);
    for (const auto& entry : Cat().folderList) byKey_[{entry.parentId, entry.objectId}].push_back({&entry, true});
    for (const auto& entry : Cat().fileList) byKey_[{entry.parentId, entry.objectId}].push_back({&entry, false});
  }

  const Catalogue& Cat() const { return wizard_.state.catalogue; }

  // The catalogue entry of this key and name; a folder whose parent is gone is looked for
  // under "Lost".
  const CatalogueEntry* Find(Key key, const std::string& name, bool folder) const {
    for (const Key& k : {key, Key{kLostFolderId, key.second}}) {
      const auto found = byKey_.find(k);
      if (found == byKey_.end()) continue;
      for (const auto& [entry, isFolder] : found->second)
        if (Cat().Name(*entry) == name && isFolder == folder) return entry;
    }
    return nullptr;
  }

  // Every manifest entry (and the hidden ones) is in the catalogue with its values.
  void ExpectAllFound(const nlohmann::json& entries) const {
    for (const auto& entry : entries) {
      const Expected expected = FromManifest(entry);
      const CatalogueEntry* found = Find(KeyOf(entry), expected.name, expected.folder);
      ASSERT_NE(found, nullptr) << entry["path"];
      EXPECT_EQ(found->size, expected.size) << entry["path"];
      EXPECT_EQ(found->modificationTime, expected.mtime) << entry["path"];
      EXPECT_EQ(found->typeCode, 0) << entry["path"];
    }
    for (const auto& hidden : partition_["hidden_entries"])
      EXPECT_NE(Find(KeyOf(hidden), hidden["name"], hidden["kind"] == "dir"), nullptr) << hidden["name"];
  }

  // Every entry is shown at its path, folders and files alike.
  void ExpectManifestPaths(const nlohmann::json& entries) const {
    const CataloguePaths paths = PathsOf(Cat(), LayOutFolders(Cat()));
    std::set<std::string> shown(paths.folders.begin(), paths.folders.end());
    shown.insert(paths.files.begin(), paths.files.end());
    for (const auto& entry : entries) EXPECT_TRUE(shown.contains(entry["path"].get<std::string>())) << entry["path"];
  }

  void ExpectNoDotEntries() const {
    for (const auto* list : {&Cat().folderList, &Cat().fileList})
      for (const auto& entry : *list) EXPECT_TRUE(Cat().Name(entry) != "." && Cat().Name(entry) != "..");
  }

  // Quick builds list exactly the live tree: its folders, the hidden folder and "Lost",
  // and one file entry per name.
  void ExpectExactCounts() const {
    const auto& counts = partition_["counts"];
    const std::size_t files = counts["files"].get<std::size_t>() + counts["symlinks"].get<std::size_t>() +
                              counts["other"].get<std::size_t>();
    EXPECT_EQ(Cat().folderList.size(), counts["dirs"].get<std::size_t>() + partition_["hidden_entries"].size() + 1);
    EXPECT_EQ(Cat().fileList.size(), files);
    EXPECT_EQ(Cat().folderCount, Cat().folderList.size());
    EXPECT_EQ(Cat().fileCount, Cat().fileList.size());
  }

  std::optional<UnchangedImage> unchanged_;
  TestWizard wizard_;
  nlohmann::json partition_;
  std::map<Key, std::vector<std::pair<const CatalogueEntry*, bool>>> byKey_;
};

TEST_F(CatalogueOnFixtures, QuickBuildOfA36PartitionListsTheLiveTree) {
  Build("mbr-mixed", 1, false);
  ExpectAllFound(partition_["entries"]);
  ExpectExactCounts();
  ExpectNoDotEntries();
  EXPECT_EQ(Cat().Name(Cat().folderList.front()), "Lost");
  // A hard link: two entries with the object's key (the folder it was created in), both
  // with the real size and time since the names lie in different folders.
  const auto& links = byKey_.at({32, 34});
  ASSERT_EQ(links.size(), 2u);
  EXPECT_EQ(Cat().Name(*links[0].first), "shared.bin");
  EXPECT_EQ(Cat().Name(*links[1].first), "shared-hardlink.bin");
  EXPECT_EQ(links[1].first->size, 5000u);
  // A folder moved after its creation keeps the parent of its key, and is shown where it
  // now lies.
  EXPECT_EQ(Find({38, 39}, "project-moved", true)->parentId, 38u);
  EXPECT_EQ(Find({38, 39}, "project-moved", true)->folderId, 43u);
  ExpectManifestPaths(partition_["entries"]);
}

// The window's quick build of a volume left by a power cut replays its journal in memory,
// or, when the settings say so, shows the blocks as they lie.
TEST_F(CatalogueOnFixtures, QuickBuildOfACrashedVolumeFollowsTheJournalSetting) {
  Build("crashed", 1, false);
  ExpectAllFound(partition_["entries"]);
  ExpectExactCounts();
  ExpectManifestPaths(partition_["entries"]);
  EXPECT_EQ(Cat().journal.outcome, JournalOutcome::Replayed);
  EXPECT_EQ(Cat().journal.transactions, 1u);

  wizard_.state.saving.options.blocksInPlace = true;
  byKey_.clear();
  Build("crashed", 1, false);
  ExpectAllFound(partition_["earlier_listings"][0]["entries"]);
  ExpectManifestPaths(partition_["earlier_listings"][0]["entries"]);
  EXPECT_EQ(Cat().journal.outcome, JournalOutcome::Ignored);
}

TEST_F(CatalogueOnFixtures, QuickBuildOfA35PartitionListsTheLiveTree) {
  Build("mbr-mixed", 5, false);
  ExpectAllFound(partition_["entries"]);
  ExpectManifestPaths(partition_["entries"]);
  ExpectExactCounts();
  ExpectNoDotEntries();
}

TEST_F(CatalogueOnFixtures, QuickBuildOfAWholeDeviceVolume) {
  Build("bare-36", 0, false);
  ExpectAllFound(partition_["entries"]);
  ExpectManifestPaths(partition_["entries"]);
  ExpectExactCounts();
}

TEST_F(CatalogueOnFixtures, QuickBuildShowsTheCatalogueAndItsFinalStatus) {
  Build("mbr-mixed", 1, false);
  HeadlessWindow& window = wizard_.window;
  EXPECT_EQ(window.CurrentView(), WizardView::CatalogueShown);
  EXPECT_EQ(wizard_.state.stage, WizardStage::Partitions);
  EXPECT_EQ(window.MessageTexts(),
            std::vector<std::string>{"If you don't find all the folder(s) here, use \"Advance Search\" option in previous menu"});
  EXPECT_FALSE(window.Control(control::kStopButton).shown);
  // The lost-folder pass counted the folders below other folders.
  std::uint32_t nested = 0;
  for (const auto& e : Cat().folderList) nested += e.parentId != 0 && e.parentId != kRootFolderId;
  ASSERT_GT(nested, 1u);
  EXPECT_EQ(window.ControlText(control::kStatusText), "");  // the catalogue view empties it
  EXPECT_EQ(window.LastTextShown(control::kStatusText),
            "Searching Lost Directories " + std::to_string(nested - 1) + "/" + std::to_string(Cat().folderCount));
  // The list shows the root folder's rows, folders first; the private folder is not shown.
  const ListModel list = window.List(control::kDetailsList);
  std::size_t rootFolders = 0, rootFiles = 0;
  for (const auto& e : Cat().folderList) rootFolders += e.parentId == kRootFolderId && Cat().Name(e) != ".reiserfs_priv";
  for (const auto& e : Cat().fileList) rootFiles += e.parentId == kRootFolderId;
  ASSERT_EQ(list.RowCount(), rootFolders + rootFiles);
  EXPECT_EQ(list.Cell(0, 1), "Folder");
}

TEST_F(CatalogueOnFixtures, AdvancedBuildFindsTheLiveTreeToo) {
  Build("mbr-mixed", 1, true);
  // Both names of the hard link, each in its folder, and nothing marked deleted.
  ExpectAllFound(partition_["entries"]);
  ExpectManifestPaths(partition_["entries"]);
  ExpectNoDotEntries();
  ASSERT_EQ(byKey_.at({32, 34}).size(), 2u);
  EXPECT_EQ(byKey_.at({32, 34})[1].first->size, 5000u);
  EXPECT_EQ(Cat().objectCount, Cat().objectList.Size() - 1);
}

TEST_F(CatalogueOnFixtures, AdvancedBuildOfA35PartitionFindsItsFiles) {
  Build("mbr-mixed", 5, true);
  ExpectAllFound(partition_["entries"]);
  // The files with indirect items have their pieces.
  std::size_t withPieces = 0;
  for (const auto& record : Cat().objectList.Records()) withPieces += record.pieceCount > 0;
  EXPECT_GT(withPieces, 0u);
}

TEST_F(CatalogueOnFixtures, AdvancedBuildFindsEveryDeletedEntry) {
  Build("deleted", 1, true);
  ExpectAllFound(partition_["entries"]);
  ExpectManifestPaths(partition_["entries"]);
  const auto& before = partition_["earlier_listings"][0]["entries"];
  std::size_t removed = 0;
  for (const auto& entry : before) {
    if (!entry["removed"].get<bool>()) continue;
    ++removed;
    const Expected expected = FromManifest(entry);
    const CatalogueEntry* found = Find(KeyOf(entry), expected.name, expected.folder);
    ASSERT_NE(found, nullptr) << entry["path"];
    EXPECT_EQ(found->size, expected.size) << entry["path"];
    EXPECT_EQ(found->modificationTime, expected.mtime) << entry["path"];
    EXPECT_EQ(found->typeCode, kDeletedTypeCode) << entry["path"];
  }
  EXPECT_EQ(removed, 65u);
}

// Where the live tree cannot be told (its root zeroed), no entry is called deleted.
TEST_F(CatalogueOnFixtures, AdvancedBuildCallsNothingDeletedWithoutAWholeLiveTree) {
  const TempDir dir;
  const std::string copy = dir / "deleted.img";
  std::filesystem::copy_file(FixtureImage("deleted"), copy);
  {
    std::fstream image(copy, std::ios::in | std::ios::out | std::ios::binary);
    image.seekp(2048 * 512 + 8213 * 4096);
    const std::string zeros(4096, '\0');
    image.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
  }
  wizard_.UseImages({copy});
  wizard_.state.currentPartition = {2048, 90112, 0};
  ReplaceFolderTree(wizard_.state);
  wizard_.state.fileSearchKind = FileSearchKind::Advanced;
  AdvancedCatalogueBuild(wizard_.state);
  EXPECT_GT(Cat().fileList.size(), 250u);
  for (const auto* list : {&Cat().folderList, &Cat().fileList})
    for (const auto& entry : *list) EXPECT_EQ(entry.typeCode, 0) << Cat().Name(entry);
}

TEST_F(CatalogueOnFixtures, AdvancedBuildFindsTheReformattedFileSystemWhereItsLeavesSurvive) {
  Build("reformatted", 1, true);
  ExpectAllFound(partition_["entries"]);
  // The old objects whose stat data survives are found with their time (and, for files,
  // their size); most also keep their name. Old and new objects that share a key show the
  // new one, which comes later on the disk.
  std::size_t named = 0, timed = 0;
  for (const auto& entry : partition_["earlier_listings"][0]["entries"]) {
    const Expected expected = FromManifest(entry);
    if (Find(KeyOf(entry), expected.name, expected.folder)) ++named;
    for (const Key& k : {KeyOf(entry), Key{kLostFolderId, KeyOf(entry).second}}) {
      const auto found = byKey_.find(k);
      if (found == byKey_.end()) continue;
      for (const auto& [catalogued, isFolder] : found->second)
        if (catalogued->modificationTime == expected.mtime && isFolder == expected.folder) {
          ++timed;
          if (!isFolder) {
            EXPECT_EQ(catalogued->size, expected.size) << entry["path"];
          }
          break;
        }
    }
  }
  EXPECT_GE(named, 248u);  // of 325
  EXPECT_GE(timed, 318u);
  // What lost its parent is shown in "Lost".
  const FolderLayout layout = LayOutFolders(Cat());
  const FolderContents lost = ContentsOfFolder(Cat(), layout, kLostFolderId);
  EXPECT_FALSE(lost.folders.empty());
  EXPECT_FALSE(lost.files.empty());
  for (const std::size_t i : lost.folders) EXPECT_EQ(Cat().folderList[i].parentId, kLostFolderId);
}

}  // namespace
}  // namespace vantrel::test
