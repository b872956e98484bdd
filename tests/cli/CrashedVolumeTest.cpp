// A volume left by a power cut: its last committed transaction is only in the journal. The
// console shows (and saves) the tree as the kernel reads it after its own replay, and the
// tree in place when asked to, without writing to the image.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
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

// Where the crashed volume and its journal lie in the image (the manifest's "journal").
constexpr std::uint64_t kVolumeByte = std::uint64_t{2048} * 512;
constexpr std::uint64_t kBlockSize = 4096;
constexpr std::uint64_t kJournalFirst = 18;
constexpr std::uint64_t kJournalBlocks = 8192 + 1;                   // the area and its header
constexpr std::uint64_t kCommitBlock = kJournalFirst + 85 + 21 + 1;  // of transaction 18

void Overwrite(const std::filesystem::path& file, std::uint64_t at, const std::string& bytes) {
  std::fstream out(file, std::ios::binary | std::ios::in | std::ios::out);
  out.seekp(static_cast<std::streamoff>(at));
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good());
}

std::filesystem::path CopyOfImage(const TempDir& dir) {
  std::filesystem::path copy = dir / "crashed.img";
  std::filesystem::copy_file(FixtureImage(kImage), copy);
  return copy;
}

// A file's (or symlink's) size and time, or a folder's time alone: the catalogue keeps no
// folder sizes.
using Shown = std::tuple<bool, std::uint64_t, std::uint32_t>;

std::map<std::string, Shown> ManifestEntries(const nlohmann::json& entries, bool withRemoved) {
  std::map<std::string, Shown> shown;
  for (const auto& entry : entries) {
    if (!withRemoved && entry.value("removed", false)) continue;
    const bool folder = entry["kind"] == "dir";
    shown[entry["path"]] = {folder, folder ? 0 : entry["size"].get<std::uint64_t>(),
                            entry["mtime"].get<std::uint32_t>()};
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

// The image with the commit block of its last transaction cut by hand: that transaction is
// not replayed, and the tree in place is shown.
TEST(CrashedVolume, ATransactionWithoutItsCommitIsNotReplayed) {
  const nlohmann::json partition = ManifestPartition(FixtureManifest(kImage), 1);
  TempDir dir;
  const std::filesystem::path image = CopyOfImage(dir);
  Overwrite(image, kVolumeByte + kCommitBlock * kBlockSize, std::string("\xad\xde\x00\x00", 4));
  const UnchangedImage unchanged(image.string());
  const CliRun ls = RunCli("--disk " + Quoted(image.string()) + " ls --json");
  ASSERT_EQ(ls.exitCode, 0) << ls.err;
  const nlohmann::json catalogue = nlohmann::json::parse(ls.out);
  EXPECT_EQ(CatalogueEntries(catalogue), ManifestEntries(partition["earlier_listings"][0]["entries"], true));
  EXPECT_EQ(catalogue["journal_transactions"], 0);
  const CliRun text = RunCli("--disk " + Quoted(image.string()) + " ls");
  EXPECT_NE(text.out.find("Journal: nothing replayed; not replayed from there on: transaction 18 has no commit block"),
            std::string::npos)
      << text.out;
}

// The same volume with its journal moved to a device of its own (the superblock names a
// journal device, the journal area on the volume is zeros): without that device the build
// says the last changes are not shown; with it, they are.
TEST(CrashedVolume, AJournalOnAnotherDeviceIsReadWhenGiven) {
  const nlohmann::json partition = ManifestPartition(FixtureManifest(kImage), 1);
  TempDir dir;
  const std::filesystem::path volume = CopyOfImage(dir);
  const std::filesystem::path journal = dir / "journal.img";
  {
    std::ifstream in(volume, std::ios::binary);
    std::string device(kJournalFirst * kBlockSize + kJournalBlocks * kBlockSize, '\0');
    in.seekg(static_cast<std::streamoff>(kVolumeByte));
    in.read(device.data(), static_cast<std::streamsize>(device.size()));
    std::ofstream(journal, std::ios::binary).write(device.data(), static_cast<std::streamsize>(device.size()));
  }
  Overwrite(volume, kVolumeByte + kJournalFirst * kBlockSize, std::string(kJournalBlocks * kBlockSize, '\0'));
  Overwrite(volume, kVolumeByte + 65536 + 16, std::string("\x03\x08\x00\x00", 4));  // journal device 8:3
  const UnchangedImage unchangedVolume(volume.string());
  const UnchangedImage unchangedJournal(journal.string());
  const std::string disk = "--disk " + Quoted(volume.string());

  const CliRun alone = RunCli(disk + " ls --json");
  ASSERT_EQ(alone.exitCode, 0) << alone.err;
  EXPECT_EQ(CatalogueEntries(nlohmann::json::parse(alone.out)),
            ManifestEntries(partition["earlier_listings"][0]["entries"], true));
  EXPECT_NE(RunCli(disk + " ls").out.find("Journal: on another device; its last changes are not shown"),
            std::string::npos);

  const std::string both = disk + " --journal-disk " + Quoted(journal.string());
  const CliRun given = RunCli(both + " ls --json");
  ASSERT_EQ(given.exitCode, 0) << given.err;
  EXPECT_EQ(CatalogueEntries(nlohmann::json::parse(given.out)), ManifestEntries(partition["entries"], true));
  TempDir out;
  ASSERT_EQ(RunCli(both + " save --out " + Quoted(out.Path().string())).exitCode, 0);
  EXPECT_EQ(WronglySaved(out, partition["entries"]), std::vector<std::string>{});
  EXPECT_EQ(RunCli("--journal-disk " + Quoted(journal.string()) + " " + disk + " ls").exitCode, 1);
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
