// The fixture images mounted through vantrel-cli and read back with ordinary file calls,
// compared with what their manifests say the kernel listed.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <fstream>
#include <map>
#include <set>

#include "MountedImage.h"
#include "support/Fixtures.h"
#include "support/Sha256.h"
#include "support/TempDir.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

class MountFixtures : public testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    if (!FuseAvailable(&why)) GTEST_SKIP() << why;
  }
  static std::string Disk(const std::string& image) { return "--disk " + Quoted(FixtureImage(image)); }
};

// Every entry of a live listing, as the kernel showed it.
void ExpectListing(const MountedImage& mounted, const nlohmann::json& entries) {
  std::map<std::string, std::set<ino_t>> inodesOfKey;
  std::set<ino_t> inodes;
  for (const auto& entry : entries) {
    const std::string path = entry["path"];
    const fs::path at = mounted / path;
    struct stat st {};
    ASSERT_EQ(::lstat(at.c_str(), &st), 0) << path;
    EXPECT_EQ(st.st_mtime, entry["mtime"].get<time_t>()) << path;
    EXPECT_EQ(st.st_mode & 07777, std::stoul(entry["mode"].get<std::string>(), nullptr, 8)) << path;
    const std::string kind = entry["kind"];
    if (kind == "dir") {
      EXPECT_TRUE(S_ISDIR(st.st_mode)) << path;
    } else if (kind == "symlink") {
      ASSERT_TRUE(S_ISLNK(st.st_mode)) << path;
      EXPECT_EQ(fs::read_symlink(at).string(), entry["target"].get<std::string>()) << path;
    } else {
      ASSERT_TRUE(S_ISREG(st.st_mode)) << path;
      EXPECT_EQ(static_cast<std::uint64_t>(st.st_size), entry["size"].get<std::uint64_t>()) << path;
      EXPECT_EQ(st.st_nlink, entry["nlink"].get<nlink_t>()) << path;
      const auto bytes = ReadWhole(at);
      ASSERT_TRUE(bytes) << path;
      EXPECT_EQ(Sha256Of(*bytes), entry["sha256"].get<std::string>()) << path;
      EXPECT_EQ(Attribute(at, "user.vantrel.damaged"), "") << path;
    }
    if (kind != "symlink") {  // the kernel keeps user attributes off symbolic links
      EXPECT_EQ(Attribute(at, "user.vantrel.state"), "live") << path;
      EXPECT_EQ(Attribute(at, "user.vantrel.objectId"), std::to_string(entry["key"][1].get<std::uint32_t>())) << path;
    }
    inodesOfKey[entry["key"].dump()].insert(st.st_ino);
    inodes.insert(st.st_ino);
  }
  // One inode per object: the two names of a hard link share theirs, no one else does.
  for (const auto& [key, numbers] : inodesOfKey) EXPECT_EQ(numbers.size(), 1u) << key;
  EXPECT_EQ(inodes.size(), inodesOfKey.size());
}

TEST_F(MountFixtures, LiveTreesReadBackAsTheKernelListedThemAndTheImageIsUnchanged) {
  const UnchangedFixtures unchanged{"mbr-mixed", "bare-36"};
  const std::string image = FixtureImage("mbr-mixed");
  const std::string before = Sha256OfFile(image);
  const nlohmann::json manifest = FixtureManifest("mbr-mixed");
  for (const int index : {1, 5}) {
    MountedImage mounted(Disk("mbr-mixed"), index == 1 ? "" : "--partition 1");
    ASSERT_TRUE(mounted.Mounted()) << mounted.Run().err;
    EXPECT_NE(mounted.Run().out.find("fusermount3 -u"), std::string::npos);
    const nlohmann::json partition = ManifestPartition(manifest, index);
    ExpectListing(mounted, partition["entries"]);
    struct stat root {};
    ASSERT_EQ(::stat(mounted.Root().c_str(), &root), 0);
    EXPECT_EQ(root.st_mtime, partition["root_dir"]["mtime"].get<time_t>());
    EXPECT_FALSE(fs::exists(mounted / "Lost"));            // nothing was lost: no empty "Lost" folder
    EXPECT_FALSE(fs::exists(mounted / ".reiserfs_priv"));  // the file system's own, as the kernel hides it
    if (index == 1) {
      // Nothing can be written, created or removed.
      const fs::path file = mounted / "sizes/sparse-hole.bin";
      EXPECT_FALSE(std::ofstream(file, std::ios::app).is_open());
      EXPECT_FALSE(std::ofstream(mounted / "new.txt").is_open());
      std::error_code error;
      EXPECT_FALSE(fs::remove(file, error));
      EXPECT_EQ(error.value(), EROFS);
    }
  }
  MountedImage bare(Disk("bare-36"), "--start 0");
  ASSERT_TRUE(bare.Mounted()) << bare.Run().err;
  ExpectListing(bare, ManifestPartition(FixtureManifest("bare-36"), 0)["entries"]);
  EXPECT_EQ(Sha256OfFile(image), before);
}

TEST_F(MountFixtures, AdvancedBuildShowsDeletedFilesWhereTheyWereAndMarksThem) {
  const UnchangedFixtures unchanged{"deleted"};
  MountedImage mounted(Disk("deleted"), "--file-search advanced");
  ASSERT_TRUE(mounted.Mounted()) << mounted.Run().err;
  const nlohmann::json partition = ManifestPartition(FixtureManifest("deleted"), 1);
  std::size_t removed = 0;
  for (const auto& entry : partition["earlier_listings"][0]["entries"]) {
    const std::string path = entry["path"];
    const fs::path at = mounted / path;
    ASSERT_TRUE(fs::exists(fs::symlink_status(at))) << path;
    const bool gone = entry["removed"];
    removed += gone;
    if (entry["kind"] != "symlink") {  // the kernel keeps user attributes off symbolic links
      EXPECT_EQ(Attribute(at, "user.vantrel.state"), gone ? "deleted" : "live") << path;
    }
    if (entry["kind"] == "file") {
      const auto bytes = ReadWhole(at);
      ASSERT_TRUE(bytes) << path;
      EXPECT_EQ(Sha256Of(*bytes), entry["sha256"].get<std::string>()) << path;
    }
  }
  EXPECT_EQ(removed, 65u);
}

TEST_F(MountFixtures, AdvancedBuildShowsTheFilesOfTheFileSystemThatWasFormattedOver) {
  const UnchangedFixtures unchanged{"deleted", "reformatted"};
  MountedImage mounted(Disk("reformatted"), "--file-search advanced");
  ASSERT_TRUE(mounted.Mounted()) << mounted.Run().err;
  const nlohmann::json partition = ManifestPartition(FixtureManifest("reformatted"), 1);
  ExpectListing(mounted, partition["entries"]);
  // The old objects by their object id: most lost their folder and are found under "Lost".
  std::multimap<std::string, fs::path> byObject;
  std::map<std::string, std::size_t> states;
  for (const auto& item : fs::recursive_directory_iterator(mounted.Root())) {
    byObject.emplace(Attribute(item.path(), "user.vantrel.objectId"), item.path());
    ++states[Attribute(item.path(), "user.vantrel.state")];
  }
  std::size_t matched = 0;
  for (const auto& entry : partition["earlier_listings"][0]["entries"]) {
    const auto [from, to] = byObject.equal_range(std::to_string(entry["key"][1].get<std::uint32_t>()));
    for (auto it = from; it != to; ++it) {
      struct stat st {};
      if (::lstat(it->second.c_str(), &st) != 0 || st.st_mtime != entry["mtime"].get<time_t>()) continue;
      ++matched;
      if (entry["kind"] == "file") {
        const auto bytes = ReadWhole(it->second);
        ASSERT_TRUE(bytes) << it->second;
        EXPECT_EQ(Sha256Of(*bytes), entry["sha256"].get<std::string>()) << entry["path"];
      }
      break;
    }
  }
  EXPECT_GE(matched, 318u);  // of 325: the rest lost their stat data
  EXPECT_GT(states["found"], 0u);
  EXPECT_GT(states["deleted"], 200u);
}

// The whole-device volume with its first 8 MiB zeroed (superblock, bitmap, the journal's
// start): the advanced build reads it with the geometry its tree gives, and every entry is
// there as the kernel showed it, live (no live tree to tell otherwise).
TEST_F(MountFixtures, AVolumeWithoutItsSuperblockIsServedFromItsTree) {
  const TempDir dir;
  const fs::path copy = dir / "zeroed.img";
  fs::copy_file(FixtureImage("bare-36"), copy);
  {
    std::fstream image(copy, std::ios::in | std::ios::out | std::ios::binary);
    const std::string zeros(std::size_t{8} << 20, '\0');
    image.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
  }
  MountedImage mounted("--disk " + Quoted(copy.string()), "--start 0 --file-search advanced");
  ASSERT_TRUE(mounted.Mounted()) << mounted.Run().err;
  ExpectListing(mounted, ManifestPartition(FixtureManifest("bare-36"), 0)["entries"]);
}

TEST_F(MountFixtures, EveryEntryOfTheCatalogueListingIsThereByItsPath) {
  const UnchangedFixtures unchanged{"mbr-mixed", "bare-36", "deleted", "reformatted"};
  for (const auto& [image, options] :
       std::vector<std::pair<std::string, std::string>>{{"mbr-mixed", ""},
                                                        {"bare-36", "--start 0 --file-search advanced"},
                                                        {"deleted", "--file-search advanced"},
                                                        {"reformatted", "--file-search advanced"}}) {
    const CliRun listed = RunCli(Disk(image) + " ls --json " + options);
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    const nlohmann::json catalogue = nlohmann::json::parse(listed.out);
    MountedImage mounted(Disk(image), options);
    ASSERT_TRUE(mounted.Mounted()) << mounted.Run().err;
    std::size_t names = 0;
    for (auto it = fs::recursive_directory_iterator(mounted.Root()); it != fs::recursive_directory_iterator(); ++it)
      ++names;
    EXPECT_EQ(names, catalogue["folders"].size() + catalogue["files"].size()) << image;
    for (const char* list : {"folders", "files"})
      for (const auto& entry : catalogue[list]) {
        const std::string path = entry["path"];
        EXPECT_TRUE(fs::exists(fs::symlink_status(mounted / path))) << image << ": " << path;
      }
  }
}

// The bytes of `needle` in the image, as a byte offset.
std::uint64_t OffsetInImage(const std::string& image, const std::string& needle) {
  std::ifstream in(image, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  const auto at = bytes.find(needle);
  return at == std::string::npos ? 0 : at;
}

TEST_F(MountFixtures, UnreadableBlocksReadAsZerosAndMarkTheFileOrFailUnderStrict) {
  const UnchangedFixtures unchanged{"mbr-mixed"};
  const std::string image = FixtureImage("mbr-mixed");
  const std::string path = "sizes/size-300000.bin";
  std::string healthy;
  {
    MountedImage mounted(Disk("mbr-mixed"), "");
    ASSERT_TRUE(mounted.Mounted()) << mounted.Run().err;
    ASSERT_TRUE(fs::exists(mounted / path));
    healthy = *ReadWhole(mounted / path);
  }
  // Mark the file's second block unreadable.
  const std::uint64_t bad = OffsetInImage(image, healthy.substr(4096, 4096));
  ASSERT_NE(bad, 0u);
  TempDir dir;
  std::ofstream(dir / "disk.map") << "0x0 +\n0x0 " << bad << " +\n"
                                  << bad << " 4096 -\n"
                                  << bad + 4096 << " " << fs::file_size(image) - bad - 4096 << " +\n";
  const std::string disks = Disk("mbr-mixed") + " --mapfile " + Quoted((dir / "disk.map").string());
  {
    MountedImage mounted(disks, "");
    ASSERT_TRUE(mounted.Mounted()) << mounted.Run().err;
    const auto damaged = ReadWhole(mounted / path);
    ASSERT_TRUE(damaged);
    ASSERT_EQ(damaged->size(), healthy.size());
    EXPECT_EQ(damaged->substr(4096, 4096), std::string(4096, '\0'));
    EXPECT_EQ(damaged->substr(0, 4096), healthy.substr(0, 4096));
    EXPECT_EQ(damaged->substr(8192), healthy.substr(8192));
    EXPECT_EQ(Attribute(mounted / path, "user.vantrel.damaged"), "1");
    EXPECT_EQ(Attribute(mounted / "sizes/size-4096.bin", "user.vantrel.damaged"), "");
  }
  MountedImage strict(disks, "--strict");
  ASSERT_TRUE(strict.Mounted()) << strict.Run().err;
  int error = 0;
  EXPECT_FALSE(ReadWhole(strict / path, &error));
  EXPECT_EQ(error, EIO);
  EXPECT_TRUE(ReadWhole(strict / "sizes/size-4096.bin"));
}

TEST_F(MountFixtures, RefusesWhatItCannotMount) {
  const UnchangedFixtures unchanged{"mbr-mixed"};
  TempDir dir;
  const CliRun noFolder = RunCli(Disk("mbr-mixed") + " mount " + Quoted((dir / "missing").string()));
  EXPECT_EQ(noFolder.exitCode, 1) << noFolder.err;
  const CliRun noRecord = RunCli(Disk("mbr-mixed") + " mount --partition 7 " + Quoted(dir.Path().string()));
  EXPECT_EQ(noRecord.exitCode, 3) << noRecord.err;
  const CliRun noSuperblock = RunCli(Disk("mbr-mixed") + " mount --start 83968 " + Quoted(dir.Path().string()));
  EXPECT_EQ(noSuperblock.exitCode, 3) << noSuperblock.err;
  std::ofstream(dir / "damaged.SAV") << "not a recovery log";
  const CliRun damagedLog = RunCli(Disk("mbr-mixed") + " mount --log " + Quoted((dir / "damaged.SAV").string()) + " " +
                                   Quoted(dir.Path().string()));
  EXPECT_EQ(damagedLog.exitCode, 5) << damagedLog.err;
}

// A recovery log names its partition and holds its catalogue; the bytes come from the disk.
TEST_F(MountFixtures, RecoveryLogIsServedAsItsCatalogueWithContentsFromTheDisk) {
  TempDir dir;
  const std::string second = Quoted((dir / "second").string());
  const CliRun saved = RunCli(Disk("mbr-mixed") + " log save --partition 1 " + second);
  ASSERT_EQ(saved.exitCode, 0) << saved.err;
  {
    MountedImage mounted(Disk("mbr-mixed"), "--log " + second);  // no --partition: the log's own
    ASSERT_TRUE(mounted.Mounted()) << mounted.Run().err;
    ExpectListing(mounted, ManifestPartition(FixtureManifest("mbr-mixed"), 5)["entries"]);
  }
  // An advanced log: its deleted entries are told from the live tree on the disk.
  const std::string advanced = Quoted((dir / "advanced").string());
  ASSERT_EQ(RunCli(Disk("deleted") + " log save --file-search advanced " + advanced).exitCode, 0);
  MountedImage mounted(Disk("deleted"), "--log " + advanced);
  ASSERT_TRUE(mounted.Mounted()) << mounted.Run().err;
  std::map<std::string, std::size_t> states;
  const nlohmann::json partition = ManifestPartition(FixtureManifest("deleted"), 1);
  for (const auto& entry : partition["earlier_listings"][0]["entries"]) {
    const fs::path at = mounted / entry["path"].get<std::string>();
    if (entry["kind"] == "symlink") continue;
    ++states[Attribute(at, "user.vantrel.state")];
    if (entry["kind"] == "file") {
      EXPECT_EQ(Sha256Of(ReadWhole(at).value_or("")), entry["sha256"].get<std::string>()) << at;
    }
  }
  EXPECT_GT(states["live"], 0u);
  EXPECT_GT(states["deleted"], 0u);
  EXPECT_EQ(states[""], 0u);
}

// A volume left by a power cut, its last transaction only in the journal: mounted, it reads
// as the kernel read it after its own replay (the journal replayed in memory, the image
// unchanged), and with --no-journal as the blocks in place hold it.
TEST_F(MountFixtures, CrashedVolumeReadsAsAfterTheKernelsReplay) {
  const UnchangedFixtures unchanged{"crashed"};
  const nlohmann::json partition = ManifestPartition(FixtureManifest("crashed"), 1);
  {
    MountedImage mounted(Disk("crashed"), "");
    ASSERT_TRUE(mounted.Mounted()) << mounted.Run().err;
    ExpectListing(mounted, partition["entries"]);
  }
  MountedImage inPlace(Disk("crashed"), "--no-journal");
  ASSERT_TRUE(inPlace.Mounted()) << inPlace.Run().err;
  EXPECT_TRUE(fs::exists(inPlace / "Scratch"));
  EXPECT_FALSE(fs::exists(inPlace / "Archive"));
}

}  // namespace
}  // namespace vantrel::test
