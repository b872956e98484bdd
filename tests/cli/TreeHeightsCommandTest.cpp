// The console on the tree-heights image: a 3.5 volume whose root is at level 4 and a 3.6
// volume whose root is a single leaf, both made by the kernel.

#include <gtest/gtest.h>

#include <cstdint>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "support/CliRunner.h"
#include "support/Fixtures.h"
#include "support/Sha256.h"
#include "support/TempDir.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

constexpr const char* kImage = "tree-heights";

std::string Disk() { return "--disk " + Quoted(FixtureImage(kImage)); }

// Start sectors of the partition records that a search prints.
std::set<std::uint64_t> FoundStarts(const std::string& search) {
  const CliRun run = RunCli(Disk() + " partitions --search " + search + " --json");
  EXPECT_EQ(run.exitCode, 0) << search << ": " << run.err;
  const nlohmann::json found = nlohmann::json::parse(run.out);
  std::set<std::uint64_t> starts;
  for (const auto& record : found["partitions"]) starts.insert(record["start"].get<std::uint64_t>());
  return starts;
}

std::set<std::string> Paths(const nlohmann::json& entries) {
  std::set<std::string> paths;
  for (const auto& entry : entries) paths.insert(entry["path"].get<std::string>());
  return paths;
}

TEST(CliTreeHeights, EveryPartitionSearchFindsBothVolumes) {
  const nlohmann::json manifest = FixtureManifest(kImage);
  ASSERT_EQ(ManifestPartition(manifest, 1)["reiserfs"]["root_level"], 4);
  ASSERT_EQ(ManifestPartition(manifest, 2)["reiserfs"]["root_level"], 1);
  const std::set<std::uint64_t> both{ManifestPartition(manifest, 1)["start_sector"].get<std::uint64_t>(),
                                     ManifestPartition(manifest, 2)["start_sector"].get<std::uint64_t>()};
  // (Both start at 1 MiB boundaries, where the cylinder search does not look.)
  for (const char* search : {"quick", "advanced"}) EXPECT_EQ(FoundStarts(search), both) << search;
}

// The quick build lists every entry of the manifest in its place, and saving the whole
// catalogue gives every file (and symlink, as its target text) byte for byte.
TEST(CliTreeHeights, QuickBuildListsAndSavesEveryFileOfBothTrees) {
  const UnchangedFixtures unchanged{"tree-heights"};
  const nlohmann::json manifest = FixtureManifest(kImage);
  for (int record : {0, 1}) {
    const nlohmann::json partition = ManifestPartition(manifest, record + 1);
    const std::string chosen = " --partition " + std::to_string(record);
    SCOPED_TRACE("partition " + std::to_string(record + 1));

    const CliRun ls = RunCli(Disk() + " ls --json" + chosen);
    ASSERT_EQ(ls.exitCode, 0) << ls.err;
    const nlohmann::json catalogue = nlohmann::json::parse(ls.out);
    const std::set<std::string> folders = Paths(catalogue["folders"]);
    const std::set<std::string> files = Paths(catalogue["files"]);
    std::vector<std::string> unlisted;
    for (const auto& entry : partition["entries"]) {
      const std::string path = entry["path"];
      if (!(entry["kind"] == "dir" ? folders : files).contains(path)) unlisted.push_back(path);
    }
    EXPECT_EQ(unlisted, std::vector<std::string>{});
    EXPECT_EQ(files.size(), partition["counts"]["files"].get<std::size_t>() + partition["counts"]["symlinks"].get<std::size_t>());

    TempDir out;
    const CliRun save = RunCli(Disk() + " save" + chosen + " --out " + Quoted(out.Path().string()));
    ASSERT_EQ(save.exitCode, 0) << save.err;
    std::vector<std::string> wrong;
    for (const auto& entry : partition["entries"]) {
      if (entry["kind"] == "dir") continue;
      const std::string path = entry["path"];
      if (Sha256OfFile((out.Path() / SavedPath(path)).string()) != entry["sha256"]) wrong.push_back(path);
    }
    EXPECT_EQ(wrong, std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace vantrel::test
