// A volume left by a power cut: its last committed transaction is only in the journal. The
// console shows (and saves) the tree as the kernel reads it after its own replay, and the
// tree in place when asked to, without writing to the image.

#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <tuple>

#include "support/CliRunner.h"
#include "support/Fixtures.h"
#include "support/Sha256.h"
#include "support/TempDir.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

constexpr const char* kImage = "crashed";
constexpr const char* kReplayedText = "Journal: 1 transactions replayed in memory (the disk is not written)";

std::string Disk() { return "--disk " + Quoted(FixtureImage(kImage)); }

// A file's (or symlink's) size and time, or a folder's time alone: the catalogue keeps no
// folder sizes.
using Shown = std::tuple<bool, std::uint64_t, std::uint32_t>;

std::map<std::string, Shown> ManifestEntries(const nlohmann::json& entries, bool withRemoved) {
  std::map<std::string, Shown> shown;
  for (const auto& entry : entries) {
    if (!withRemoved && entry.value("removed", false)) continue;
    const bool folder = entry["kind"] == "dir";
    shown[entry["path"]] = {folder, folder ? 0 : entry["size"].get<std::uint64_t>(), entry["mtime"].get<std::uint32_t>()};
  }
  return shown;
}

// The catalogue's entries but "Lost" and the hidden folder the kernel makes for itself.
std::map<std::string, Shown> CatalogueEntries(const nlohmann::json& catalogue) {
  std::map<std::string, Shown> shown;
  for (const char* list : {"folders", "files"}) {
    for (const auto& entry : catalogue[list]) {
      const std::string path = entry["path"];
      if (path == "Lost" || path.rfind(".reiserfs_priv", 0) == 0) continue;
      const bool folder = std::string(list) == "folders";
      shown[path] = {folder, folder ? 0 : entry["size"].get<std::uint64_t>(), entry["mtime"].get<std::uint32_t>()};
    }
  }
  return shown;
}

nlohmann::json Ls(const std::string& arguments) {
  const CliRun ls = RunCli(Disk() + " ls --json" + arguments);
  EXPECT_EQ(ls.exitCode, 0) << ls.err;
  return nlohmann::json::parse(ls.out);
}

// Files (and symlinks, as their target text) of the entries that are not saved byte for byte.
std::vector<std::string> WronglySaved(const TempDir& out, const nlohmann::json& entries) {
  std::vector<std::string> wrong;
  for (const auto& entry : entries) {
    if (entry["kind"] == "dir") continue;
    const std::string path = entry["path"];
    if (Sha256OfFile((out.Path() / SavedPath(path)).string()) != entry["sha256"]) wrong.push_back(path);
  }
  return wrong;
}

TEST(CrashedVolume, QuickBuildListsTheTreeTheKernelShowsAfterItsReplay) {
  const UnchangedFixtures unchanged{kImage};
  const nlohmann::json partition = ManifestPartition(FixtureManifest(kImage), 1);
  const nlohmann::json catalogue = Ls("");
  EXPECT_EQ(CatalogueEntries(catalogue), ManifestEntries(partition["entries"], true));
  EXPECT_EQ(catalogue["journal_transactions"], 1);

  const CliRun listed = RunCli(Disk() + " ls Inbox");
  EXPECT_NE(listed.out.find(kReplayedText), std::string::npos) << listed.out;
  const CliRun partitions = RunCli(Disk() + " partitions");
  EXPECT_NE(partitions.out.find(kReplayedText), std::string::npos) << partitions.out;
  const nlohmann::json found = nlohmann::json::parse(RunCli(Disk() + " partitions --json").out);
  EXPECT_EQ(found["partitions"][0]["journal_transactions"], 1);
}

TEST(CrashedVolume, SaveGivesEveryFileAsTheKernelReadsIt) {
  const UnchangedFixtures unchanged{kImage};
  const nlohmann::json partition = ManifestPartition(FixtureManifest(kImage), 1);
  TempDir out;
  const CliRun save = RunCli(Disk() + " save --out " + Quoted(out.Path().string()));
  ASSERT_EQ(save.exitCode, 0) << save.err;
  EXPECT_EQ(WronglySaved(out, partition["entries"]), std::vector<std::string>{});
}

TEST(CrashedVolume, WithoutTheJournalTheTreeInPlaceIsShown) {
  const UnchangedFixtures unchanged{kImage};
  const nlohmann::json partition = ManifestPartition(FixtureManifest(kImage), 1);
  const nlohmann::json& inPlace = partition["earlier_listings"][0];
  ASSERT_EQ(inPlace["label"], "on-disk-unreplayed");
  const nlohmann::json catalogue = Ls(" --no-journal");
  EXPECT_EQ(CatalogueEntries(catalogue), ManifestEntries(inPlace["entries"], true));
  EXPECT_EQ(catalogue["journal_transactions"], 0);
  EXPECT_NE(RunCli(Disk() + " ls --no-journal").out.find("Journal: not replayed"), std::string::npos);

  TempDir out;
  ASSERT_EQ(RunCli(Disk() + " save --no-journal --out " + Quoted(out.Path().string())).exitCode, 0);
  EXPECT_EQ(WronglySaved(out, inPlace["entries"]), std::vector<std::string>{});
}

// Every block is read, the journal's too: each object's newest committed version wins, and
// what the last transaction removed is still found.
TEST(CrashedVolume, AdvancedBuildTakesTheNewestVersionAndKeepsTheOlder) {
  const UnchangedFixtures unchanged{kImage};
  const nlohmann::json partition = ManifestPartition(FixtureManifest(kImage), 1);
  const std::map<std::string, Shown> advanced = CatalogueEntries(Ls(" --file-search advanced"));
  std::vector<std::string> missing;
  for (const auto& [path, shown] : ManifestEntries(partition["entries"], true)) {
    const auto found = advanced.find(path);
    if (found == advanced.end() || found->second != shown) missing.push_back(path);
  }
  EXPECT_EQ(missing, std::vector<std::string>{});
  for (const auto& entry : partition["earlier_listings"][0]["entries"]) {
    const std::string path = entry["path"];
    if (entry.value("removed", false) && path.rfind("Scratch/", 0) == 0) {
      EXPECT_TRUE(advanced.contains(path)) << path;
    }
  }

  TempDir out;
  ASSERT_EQ(RunCli(Disk() + " save --file-search advanced --out " + Quoted(out.Path().string())).exitCode, 0);
  EXPECT_EQ(WronglySaved(out, partition["entries"]), std::vector<std::string>{});
}

// A recovery log keeps that the journal was replayed: loaded, it shows and saves the same.
TEST(CrashedVolume, RecoveryLogKeepsTheReplay) {
  const UnchangedFixtures unchanged{kImage};
  const nlohmann::json partition = ManifestPartition(FixtureManifest(kImage), 1);
  TempDir dir;
  const std::string log = (dir / "crashed").string();
  ASSERT_EQ(RunCli(Disk() + " log save " + Quoted(log)).exitCode, 0);
  const CliRun loaded = RunCli(Disk() + " --log " + Quoted(log) + " ls --json");
  ASSERT_EQ(loaded.exitCode, 0) << loaded.err;
  const nlohmann::json catalogue = nlohmann::json::parse(loaded.out);
  EXPECT_EQ(CatalogueEntries(catalogue), ManifestEntries(partition["entries"], true));
  EXPECT_EQ(catalogue["journal_transactions"], 1);
  TempDir out;
  ASSERT_EQ(RunCli(Disk() + " --log " + Quoted(log) + " save --out " + Quoted(out.Path().string())).exitCode, 0);
  EXPECT_EQ(WronglySaved(out, partition["entries"]), std::vector<std::string>{});
}

}  // namespace
}  // namespace vantrel::test
