// vantrel-cli save as a user runs it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/CliRunner.h"
#include "support/Fixtures.h"
#include "support/Sha256.h"
#include "support/TempDir.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

TEST(CliSave, SavesTheChosenFoldersAndSumsUp) {
  const UnchangedFixtures unchanged{"mbr-mixed"};
  TempDir out;
  const std::string disk = "--disk " + Quoted(FixtureImage("mbr-mixed"));
  const CliRun run = RunCli(disk + " save --out " + Quoted(out.Path().string()) + " deep sizes");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("Saved "), std::string::npos);
  EXPECT_TRUE(fs::exists(out.Path() / "deep/level 1/level 2"));
  EXPECT_FALSE(fs::exists(out.Path() / "bulk"));
  const nlohmann::json partition = ManifestPartition(FixtureManifest("mbr-mixed"), 1);
  for (const auto& entry : partition["entries"]) {
    const std::string path = entry["path"];
    if (entry["kind"] == "file" && path.rfind("sizes/", 0) == 0) {
      EXPECT_EQ(Sha256OfFile((out.Path() / path).string()), entry["sha256"]) << path;
    }
  }

  // Again into the same folder: without a terminal, existing files are kept, and said so.
  const CliRun again = RunCli(disk + " save --out " + Quoted(out.Path().string()) + " sizes");
  EXPECT_EQ(again.exitCode, 0);
  EXPECT_NE(again.out.find("Kept "), std::string::npos);
  EXPECT_NE(again.err.find("existing files are kept"), std::string::npos);
}

TEST(CliSave, RefusesBadOptionsAndUnknownFolders) {
  const UnchangedFixtures unchanged{"bare-36"};
  TempDir out;
  const std::string save = "--disk " + Quoted(FixtureImage("bare-36")) + " save --start 0 --out " + Quoted(out.Path().string());
  EXPECT_EQ(RunCli(save + " --after 31/02/1969").exitCode, 1);
  EXPECT_EQ(RunCli(save + " --ext .doc").exitCode, 1);
  const CliRun unknown = RunCli(save + " no/such/folder");
  EXPECT_EQ(unknown.exitCode, 3);
  EXPECT_NE(unknown.err.find("no/such/folder"), std::string::npos);
  const CliRun filtered = RunCli(save + " --ext txt --before 01/01/2000");
  EXPECT_EQ(filtered.exitCode, 0) << filtered.err;
  EXPECT_NE(filtered.out.find("Saved 0 file(s)"), std::string::npos);  // every file is from 2005
}

// A copy of a whole-device volume with its first 8 MiB zeroed (boot area, superblock,
// bitmap, the journal's start), as another file system made over it leaves it: the advanced
// build reads it with the geometry its tree gives. A disk of zeros has nothing to save.
TEST(CliSave, AVolumeWithoutItsSuperblockIsSavedFromItsTreeAndNothingFoundIsAFailure) {
  const TempDir dir;
  const fs::path copy = dir / "zeroed.img";
  fs::copy_file(FixtureImage("bare-36"), copy);
  {
    std::fstream image(copy, std::ios::in | std::ios::out | std::ios::binary);
    const std::string zeros(std::size_t{8} << 20, '\0');
    image.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
  }
  const std::string out = (dir / "out").string();
  const CliRun run = RunCli("--disk " + Quoted(copy.string()) + " save --start 0 --file-search advanced --out " +
                            Quoted(out));
  ASSERT_EQ(run.exitCode, 0) << run.err << run.out;
  EXPECT_NE(run.err.find("block size 4096, 12288 blocks, format 3.6"), std::string::npos) << run.err;
  std::size_t files = 0, atTheirPaths = 0;
  const nlohmann::json partition = ManifestPartition(FixtureManifest("bare-36"), 0);
  for (const auto& entry : partition["entries"]) {
    if (entry["kind"] != "file") continue;
    ++files;
    atTheirPaths += Sha256OfFile((fs::path(out) / SavedPath(entry["path"])).string()) == entry["sha256"];
  }
  EXPECT_GE(atTheirPaths * 100, files * 99) << atTheirPaths << " of " << files;

  std::ofstream(dir / "zeros.img", std::ios::binary) << std::string(std::size_t{4} << 20, '\0');
  const CliRun nothing = RunCli("--disk " + Quoted((dir / "zeros.img").string()) +
                                " save --start 0 --file-search advanced --out " + Quoted((dir / "none").string()));
  EXPECT_NE(nothing.exitCode, 0);
  EXPECT_NE(nothing.err.find("No folder or file was found"), std::string::npos) << nothing.err << nothing.out;
}

TEST(CliSave, DestinationThatCannotBeMadeIsAFailure) {
  TempDir dir;
  std::ofstream(dir / "file") << "in the way";
  const CliRun run = RunCli("--disk " + Quoted(FixtureImage("bare-36")) + " save --start 0 --out " +
                            Quoted((dir / "file" / "below").string()));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("Inavalid Path"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace vantrel::test
