// The console over disk images kept in containers (E01, qcow2, VMDK, VHD/VHDX, split raw):
// each gives the catalogue and the saved files that the raw image gives, and a damaged
// container gives a clear error or bad sectors, never a crash.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "disk/containers/QcowTruncation.h"
#include "support/CliRunner.h"
#include "support/ContainerFixtures.h"
#include "support/Fixtures.h"
#include "support/Sha256.h"
#include "support/TempDir.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kEveryKind{"E01",        "E01-segments", "qcow2", "qcow2-backed", "vmdk-stream",
                                          "vmdk-split", "vhdx",         "vhd",   "split-001",    "split-aa"};

// Every file and folder below root: its path, and the SHA-256 of a file or "folder".
std::map<std::string, std::string> TreeOf(const fs::path& root) {
  std::map<std::string, std::string> tree;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::string path = fs::relative(entry.path(), root).string();
    tree[path] = entry.is_regular_file() ? Sha256OfFile(entry.path().string()) : "folder";
  }
  return tree;
}

struct Reading {
  std::string listing;  // ls --json
  std::map<std::string, std::string> saved;
};

Reading ReadWhole(const std::string& disk, const std::string& options) {
  Reading reading;
  const CliRun listed = RunCli("--disk " + Quoted(disk) + " ls --json " + options);
  EXPECT_EQ(listed.exitCode, 0) << disk << ": " << listed.err;
  reading.listing = listed.out;
  const TempDir out;
  const CliRun saved = RunCli("--disk " + Quoted(disk) + " save --out " + Quoted(out.Path().string()) + " " + options);
  EXPECT_EQ(saved.exitCode, 0) << disk << ": " << saved.err;
  reading.saved = TreeOf(out.Path());
  return reading;
}

void ExpectSameAsRaw(const std::string& fixture, const std::vector<std::string>& kinds, const std::string& options) {
  const Reading raw = ReadWhole(FixtureImage(fixture), options);
  ASSERT_FALSE(raw.saved.empty()) << fixture;
  for (const std::string& kind : kinds) {
    const Reading contained = ReadWhole(ContainerFixture(fixture, kind), options);
    EXPECT_EQ(contained.listing, raw.listing) << fixture << " as " << kind;
    EXPECT_EQ(contained.saved, raw.saved) << fixture << " as " << kind;
  }
}

TEST(CliContainers, EveryKindGivesTheRawImagesCatalogueAndFiles) {
  ExpectSameAsRaw("bare-36", kEveryKind, "--search advanced --file-search advanced");
}

TEST(CliContainers, PartitionedAndDeletedImagesComeOutAsFromTheRawImage) {
  ExpectSameAsRaw("mbr-mixed", {"E01", "vhdx", "split-aa"}, "--partition 1");
  ExpectSameAsRaw("deleted", {"E01-segments", "qcow2", "vmdk-stream"}, "--search advanced --file-search advanced");
}

TEST(CliContainers, DetailsShowTheFormatFilesAndStoredHashesWhichVerifyChecks) {
  const std::string image = ContainerFixture("bare-36", "E01-segments");
  const CliRun listed = RunCli("--disk " + Quoted(image) + " disks --json --verify");
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  const nlohmann::json disk = nlohmann::json::parse(listed.out)["disks"][0];
  EXPECT_EQ(disk["model"], "disk.E01");  // the file's name, as for a raw image
  EXPECT_EQ(disk["size"], FixtureManifest("bare-36")["image"]["size_bytes"]);
  EXPECT_EQ(disk["container"]["format"], "Expert Witness (E01)");
  EXPECT_EQ(disk["container"]["files"].size(), 3u);
  EXPECT_EQ(disk["container"]["storedHashes"]["MD5"], "c50016916fbd61d0c1f945d5069fde52");
  EXPECT_TRUE(disk["verification"]["passed"]);
  EXPECT_EQ(disk["verification"]["hashes"].size(), 2u);  // MD5 and SHA1
}

// A copy of the container's files in a folder of its own, the first one changed by damage().
template <typename Damage>
std::string DamagedCopy(const TempDir& into, const std::string& first, Damage damage) {
  const fs::path from = fs::path(first).parent_path();
  for (const auto& entry : fs::directory_iterator(from))
    fs::copy(entry.path(), into / entry.path().filename().string());
  const fs::path copy = into / fs::path(first).filename().string();
  damage(copy);
  return copy.string();
}

void Overwrite(const fs::path& file, std::uintmax_t at, std::size_t bytes) {
  std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
  out.seekp(static_cast<std::streamoff>(at));
  out << std::string(bytes, '\xa5');
}

TEST(CliContainers, DamagedContainersGiveAClearErrorOrBadSectorsNeverACrash) {
  for (const std::string kind : {"E01", "qcow2", "qcow2-plain", "vmdk-stream", "vmdk-split", "vhdx", "vhd"}) {
    const std::string first = ContainerFixture("bare-36", kind);
    const std::uintmax_t size = fs::file_size(first);
    for (const double part : {0.001, 0.1, 0.5, 0.9}) {
      const auto at = static_cast<std::uintmax_t>(static_cast<double>(size) * part);
      for (const bool truncate : {true, false}) {
        const TempDir folder;
        const std::string damaged = DamagedCopy(folder, first, [&](const fs::path& file) {
          if (truncate)
            fs::resize_file(file, at);
          else
            Overwrite(file, at, 4096);
        });
        const std::string what = kind + (truncate ? " cut at " : " overwritten at ") + std::to_string(at);
        const CliRun run = RunCli("--disk " + Quoted(damaged) +
                                  " --bad-sectors skip-all ls --json --search advanced --file-search advanced");
        // 0: read (perhaps with bad sectors), 2: the disk cannot be read, 3: nothing found.
        EXPECT_TRUE(run.exitCode == 0 || run.exitCode == 2 || run.exitCode == 3) << what << ": " << run.exitCode;
        if (run.exitCode == 2) {
          EXPECT_NE(run.err.find(fs::path(damaged).filename().string()), std::string::npos) << what;
        }
      }
    }
  }
}

TEST(CliContainers, AQcowCutShortReadsItsMissingClustersAsBadSectors) {
  const std::string whole = ContainerFixture("bare-36", "qcow2-plain");
  EXPECT_TRUE(FindCutOffQcowClusters(whole).empty());
  const TempDir folder;
  const std::string cut = DamagedCopy(folder, whole,
                                      [](const fs::path& file) { fs::resize_file(file, fs::file_size(file) - 20000); });
  const std::vector<DiskByteRange> missing = FindCutOffQcowClusters(cut);
  ASSERT_FALSE(missing.empty());
  EXPECT_GT(missing.front().start, 0u);
  EXPECT_TRUE(TouchesAny(missing, missing.back().start + missing.back().length - 1, 1));
  EXPECT_FALSE(TouchesAny(missing, 0, 512));
  // The superblock is there: the file system is found, with the cut-off part as bad sectors.
  const CliRun listed = RunCli("--disk " + Quoted(cut) + " --bad-sectors skip-all partitions --search advanced --json");
  EXPECT_EQ(listed.exitCode, 0) << listed.err;
}

TEST(CliContainers, ADamagedChunkReadsAsBadSectorsAndFailsTheVerification) {
  const TempDir folder;
  const std::string first = ContainerFixture("bare-36", "E01-segments");
  // Uncompressed chunks in the first segment: the middle of it is chunk data.
  const std::string damaged = DamagedCopy(folder, first, [](const fs::path& file) { Overwrite(file, 10 << 20, 512); });
  const CliRun verified = RunCli("--disk " + Quoted(damaged) + " disks --json --verify");
  EXPECT_EQ(verified.exitCode, 2);
  const nlohmann::json check = nlohmann::json::parse(verified.out)["disks"][0]["verification"];
  EXPECT_FALSE(check["passed"]);
  EXPECT_GT(check["unreadableBytes"].get<std::uint64_t>(), 0u);
  // Read with the bad sectors skipped, the catalogue is still built.
  const CliRun listed = RunCli("--disk " + Quoted(damaged) +
                               " --bad-sectors skip-all ls --json --search advanced --file-search advanced");
  EXPECT_EQ(listed.exitCode, 0) << listed.err;
}

TEST(CliContainers, AMapfileIsRefusedForAContainerButAppliesToASplitImage) {
  const TempDir folder;
  const std::string map = (folder / "disk.map").string();
  std::ofstream(map) << "# Mapfile\n0x00000000  +  1\n0x00000000  0x00100000  +\n0x00100000  0x02F00000  -\n";
  const CliRun refused = RunCli("--disk " + Quoted(ContainerFixture("bare-36", "qcow2")) + " --mapfile " + Quoted(map) +
                                " disks");
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_NE(refused.err.find("a ddrescue mapfile describes a raw image only"), std::string::npos) << refused.err;
  const CliRun split = RunCli("--disk " + Quoted(ContainerFixture("bare-36", "split-001")) + " --mapfile " +
                              Quoted(map) + " --bad-sectors skip-all ls --json --search advanced");
  // Everything past the first MiB is bad: the volume's superblock and bitmap are found
  // there, but none of its tree, so no file.
  ASSERT_EQ(split.exitCode, 0) << split.err;
  EXPECT_TRUE(nlohmann::json::parse(split.out)["files"].empty());
}

}  // namespace
}  // namespace vantrel::test
