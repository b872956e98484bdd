// A disk with single bad sectors inside file blocks and inside a leaf, recovered with the
// advanced search and Retry All: every sector that reads comes out, a leaf with a bad
// sector keeps the items that lie in the sectors that read, and every file that lost
// bytes is named in the report.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "app/CatalogueBuildCommands.h"
#include "app/DiskList.h"
#include "app/FolderChecks.h"
#include "app/FolderTree.h"
#include "app/SavingCommands.h"
#include "reiserfs/format/TreeNode.h"
#include "saving/FileBody.h"
#include "support/Fixtures.h"
#include "support/Sha256.h"
#include "support/TempDir.h"
#include "support/TestWizard.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kBlockSize = 4096;  // bare-36, a whole-device volume from sector 0

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A ddrescue map of an image of `size` bytes in which the sectors at these byte offsets
// could not be read.
void WriteMap(const fs::path& path, std::set<std::uint64_t> badBytes, std::uint64_t size) {
  std::ofstream map(path);
  map << "0x0 +\n";
  std::uint64_t at = 0;
  for (const std::uint64_t bad : badBytes) {
    map << at << ' ' << bad - at << " +\n" << bad << " 512 -\n";
    at = bad + 512;
  }
  map << at << ' ' << size - at << " +\n";
}

class BadSectorRecovery : public ::testing::Test {
 protected:
  // The catalogue of bare-36 built by the advanced search; then from the image as a
  // ddrescue map describes it.
  void Build() { partition_ = wizard_.BuildFixtureCatalogue("bare-36", 0, true); }
  void BuildWithMap(const std::string& map) {
    EnumerateDisks(wizard_.state, {{FixtureImage("bare-36"), map}});
    ReplaceFolderTree(wizard_.state);
    AdvancedCatalogueBuild(wizard_.state);
  }
  void SaveAllInto(const fs::path& folder) {
    wizard_.state.saving.run.Reset();
    ToggleCheck(wizard_.state, wizard_.window.TreeRoot(TreeId::Folder));
    wizard_.state.destinationPath = folder.string();
    wizard_.state.saving.mode = SaveMode::CheckedInTree;
    RunSaving(wizard_.state);
  }
  const CatalogueEntry* FileOf(const nlohmann::json& entry) const {
    const auto& files = wizard_.state.catalogue.fileList;
    const auto found = std::find_if(files.begin(), files.end(), [&](const CatalogueEntry& file) {
      return file.parentId == entry["key"][0] && file.objectId == entry["key"][1];
    });
    return found == files.end() ? nullptr : &*found;
  }
  FileBody BodyOf(const CatalogueEntry& file) {
    return BodyCollector(CurrentPartitionSource(wizard_.state), wizard_.state.catalogue, BodySource::Pieces)
        .Collect(file.objectId, file.parentId);
  }
  // Files of the manifest with at least `blocks` blocks of their own, largest last.
  std::vector<nlohmann::json> FilesWithBlocks(std::size_t blocks) {
    std::vector<nlohmann::json> found;
    for (const auto& entry : partition_["entries"]) {
      if (entry["kind"] != "file") continue;
      const CatalogueEntry* file = FileOf(entry);
      if (file != nullptr && BodyOf(*file).blocks.size() >= blocks) found.push_back(entry);
    }
    return found;
  }

  nlohmann::json partition_;
  TestWizard wizard_;
  TempDir clean_;
  TempDir out_;
};

TEST_F(BadSectorRecovery, EveryReadableSectorComesOutAndFilesThatLostBytesAreNamed) {
  // Where things lie, from the image read whole; and what saving it whole gives.
  Build();
  SaveAllInto(clean_.Path());
  const auto multiBlock = FilesWithBlocks(3);
  ASSERT_GE(multiBlock.size(), 3u);
  struct Damage {
    std::string path;            // as the manifest names it
    std::uint64_t filePosition;  // of the bad sector
  };
  std::vector<Damage> damages;
  std::set<std::uint64_t> badBytes;
  // A bad sector in the middle of the second block of one file, at the start of the last
  // block of another.
  for (const auto& [entry, blockIndex, sector] : {std::tuple{multiBlock[0], std::size_t{1}, std::uint64_t{3}},
                                                  std::tuple{multiBlock[1], std::size_t{99}, std::uint64_t{0}}}) {
    const FileBody body = BodyOf(*FileOf(entry));
    const BlockPointer& pointer = body.blocks[std::min(blockIndex, body.blocks.size() - 1)];
    badBytes.insert(pointer.block * kBlockSize + sector * 512);
    damages.push_back({entry["path"], pointer.position + sector * 512});
  }
  // The leaf holding the third file's block numbers, with a bad sector past the node
  // header that holds items of other objects only.
  const CatalogueEntry& kept = *FileOf(multiBlock[2]);
  const ObjectList& objects = wizard_.state.catalogue.objectList;
  const BodyPiece piece = objects.Pieces(*objects.Find(kept.objectId, kept.parentId)).front();
  const std::string leaf = Contents(FixtureImage("bare-36")).substr(piece.block * kBlockSize, kBlockSize);
  const ByteSpan leafBytes(reinterpret_cast<const std::byte*>(leaf.data()), leaf.size());
  std::set<std::uint32_t> spared;
  for (std::size_t k = 0; k < 3; ++k)  // the three files and the folders that name them
    for (const auto& id : multiBlock[k]["key"]) spared.insert(id.get<std::uint32_t>());
  std::uint64_t leafSector = 0;
  for (std::uint64_t sector = 7; sector > 0 && leafSector == 0; --sector) {
    bool othersOnly = true, others = false;
    for (std::size_t i = 0; i < ReadNodeHeader(leafBytes).itemCount; ++i) {
      const auto item = ReadItemHeader(leafBytes, i);
      const auto key = item ? DecodeItemKey(item->rawKey, item->version) : std::nullopt;
      if (!key || item->location + item->length <= sector * 512 || item->location >= (sector + 1) * 512) continue;
      others = true;
      othersOnly = othersOnly && spared.count(key->objectId) == 0;
    }
    if (others && othersOnly) leafSector = sector;
  }
  ASSERT_GT(leafSector, 0u);
  badBytes.insert(piece.block * kBlockSize + leafSector * 512);

  TempDir mapDir;
  WriteMap(mapDir / "disk.map", badBytes, fs::file_size(FixtureImage("bare-36")));
  wizard_.answers.AddBadSector(BadSectorAnswer::RetryAll);
  BuildWithMap((mapDir / "disk.map").string());

  // The damaged leaf was kept: its readable items are recorded, none from the bad sector.
  bool leafKept = false;
  for (std::size_t k = 0; k < objects.Size(); ++k)
    for (const BodyPiece& p : objects.Pieces(objects[k])) {
      if (p.block != piece.block) continue;
      leafKept = true;
      EXPECT_TRUE(p.location + p.length <= leafSector * 512 || p.location >= (leafSector + 1) * 512);
    }
  EXPECT_TRUE(leafKept);

  SaveAllInto(out_.Path());
  const SavingRun& run = wizard_.state.saving.run;
  std::set<std::string> named(run.damagedFiles.begin(), run.damagedFiles.end());
  named.insert(run.shortFiles.begin(), run.shortFiles.end());
  // A file damaged in one sector: that sector is zeros, every other byte as read whole.
  for (const Damage& damage : damages) {
    const fs::path saved = out_.Path() / SavedPath(damage.path);
    EXPECT_EQ(named.count(saved.string()), 1u) << damage.path;
    std::string expected = Contents(clean_.Path() / SavedPath(damage.path));
    ASSERT_LT(damage.filePosition, expected.size());
    const std::size_t lost = std::min<std::size_t>(512, expected.size() - damage.filePosition);
    expected.replace(damage.filePosition, lost, std::string(lost, '\0'));
    EXPECT_EQ(Contents(saved), expected) << damage.path;
  }
  // The file whose items lie in the leaf's readable sectors comes out whole; so does every
  // file the report does not name.
  EXPECT_EQ(Sha256OfFile((out_.Path() / SavedPath(multiBlock[2]["path"])).string()), multiBlock[2]["sha256"]);
  for (const auto& entry : partition_["entries"]) {
    if (entry["kind"] == "dir") continue;
    const fs::path saved = out_.Path() / SavedPath(entry["path"]);
    if (named.count(saved.string()) != 0 || !fs::exists(saved)) continue;
    EXPECT_EQ(Sha256OfFile(saved.string()), entry["sha256"]) << entry["path"];
  }
}

}  // namespace
}  // namespace vantrel::test
