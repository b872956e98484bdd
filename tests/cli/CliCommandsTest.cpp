// The console front end as a user runs it: exit codes, JSON, messages and mapfiles.

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "support/CliRunner.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

TEST(CliPartitions, JsonHoldsOnlyTheRecordsAndTheMessages) {
  const UnchangedFixtures unchanged{"mbr-mixed", "bare-36"};
  const CliRun quick = RunCli("--disk " + Quoted(FixtureImage("mbr-mixed")) + " partitions --json");
  ASSERT_EQ(quick.exitCode, 0) << quick.err;
  const auto json = nlohmann::json::parse(quick.out);
  EXPECT_EQ(json, nlohmann::json::parse(R"({"partitions":[{"index":0,"start":2048,"size":81920},
                                                          {"index":1,"start":94208,"size":24576}],
                                            "messages":[]})"));

  const CliRun bare = RunCli("--disk " + Quoted(FixtureImage("bare-36")) + " partitions --search quick --json");
  EXPECT_EQ(nlohmann::json::parse(bare.out)["messages"][0],
            "No ReiserFS partition found, use search more partitions or use Advance Search in previous menu");
}

TEST(CliPartitions, SecondDiskIsSearchedByIndexAndTextOutputListsRecords) {
  const UnchangedFixtures unchanged{"mbr-mixed", "bare-36"};
  const CliRun run = RunCli("--disk " + Quoted(FixtureImage("mbr-mixed")) + " --disk " + Quoted(FixtureImage("bare-36")) +
                         " partitions --disk-index 1 --search advanced");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("Disk1"), std::string::npos);
  EXPECT_NE(run.out.find("ReiserFS 0"), std::string::npos);
  EXPECT_NE(run.out.find("98304 sectors"), std::string::npos);
}

TEST(CliPartitions, MapfileBadSectorsFollowTheAnswerGivenInAdvance) {
  const UnchangedFixtures unchanged{"mbr-mixed"};
  // The superblock of the first volume is at 2176; sector 2179 shares its 8-sector request.
  TempDir dir;
  std::ofstream(dir / "disk.map") << "0x0 +\n0x0 0x110600 +\n0x110600 0x200 -\n0x110800 0x3EEF800 +\n";
  const std::string disk = "--disk " + Quoted(FixtureImage("mbr-mixed")) + " --mapfile " + Quoted((dir / "disk.map").string());

  const CliRun retry = RunCli(disk + " --bad-sectors retry partitions --search advanced --json");
  ASSERT_EQ(retry.exitCode, 0) << retry.err;
  EXPECT_EQ(nlohmann::json::parse(retry.out)["partitions"].size(), 2u);

  const CliRun skip = RunCli(disk + " --bad-sectors skip-all partitions --search advanced --json");
  EXPECT_EQ(nlohmann::json::parse(skip.out)["partitions"].size(), 1u);

  // Without a terminal the prompt is answered Skip All, and standard error says so.
  const CliRun unattended = RunCli(disk + " partitions --search advanced --json");
  EXPECT_EQ(nlohmann::json::parse(unattended.out)["partitions"].size(), 1u);
  EXPECT_NE(unattended.err.find("Skip All"), std::string::npos);
}

TEST(CliDisks, ListsDetailsRowsAndRefusesWhatCannotBeRead) {
  const UnchangedFixtures unchanged{"bare-36"};
  const CliRun run = RunCli("--disk " + Quoted(FixtureImage("bare-36")) + " disks --json");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto disk = nlohmann::json::parse(run.out)["disks"][0];
  EXPECT_EQ(disk["size"], 50331648);
  EXPECT_EQ(disk["details"][6], "Disk Size  : 48.0 MB");
  EXPECT_EQ(disk["model"], "bare-36.img");

  const CliRun missing = RunCli("--disk /nonexistent.img disks");
  EXPECT_NE(missing.exitCode, 0);
  EXPECT_NE(missing.err.find("/nonexistent.img"), std::string::npos);

  TempDir dir;
  const CliRun folder = RunCli("--disk " + Quoted(dir.Path().string()) + " partitions");
  EXPECT_NE(folder.exitCode, 0);
  EXPECT_NE(folder.err.find("Disk0"), std::string::npos);

  const CliRun noSuchIndex = RunCli("--disk " + Quoted(FixtureImage("bare-36")) + " partitions --disk-index 3");
  EXPECT_NE(noSuchIndex.exitCode, 0);
  EXPECT_NE(RunCli("--disk " + Quoted(FixtureImage("bare-36")) + " partitions --search sideways").exitCode, 0);
  const CliRun strayMap = RunCli("--mapfile " + Quoted(FixtureImage("bare-36")) + " disks");
  EXPECT_NE(strayMap.exitCode, 0);
  EXPECT_NE(strayMap.err.find("--mapfile must follow"), std::string::npos);
}

}  // namespace
}  // namespace vantrel::test
