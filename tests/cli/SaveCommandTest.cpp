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
