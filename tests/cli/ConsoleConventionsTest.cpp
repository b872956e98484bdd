// What a console user expects of any program: --version, options in any order, one-line
// errors on standard error, examples in --help, and logs kept under the name given.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "support/CliRunner.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

std::string Disk(const std::string& image) { return "--disk " + Quoted(FixtureImage(image)); }

TEST(ConsoleConventions, VersionIsPrintedOnStandardOutput) {
  const CliRun run = RunCli("--version");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "vantrel-cli 12.04.06\n");
  EXPECT_TRUE(run.err.empty()) << run.err;
}

TEST(ConsoleConventions, GlobalOptionsAfterTheCommandActAsBefore) {
  const UnchangedFixtures unchanged{"mbr-mixed", "bare-36", "deleted"};
  TempDir dir;
  const std::string map = (dir / "disk.map").string();
  std::ofstream(map) << "0x0 +\n0x0 0x110600 +\n0x110600 0x200 -\n0x110800 0x3EEF800 +\n";
  const std::string mapped = Disk("mbr-mixed") + " --mapfile " + Quoted(map) + " --bad-sectors retry";
  const CliRun before = RunCli(mapped + " partitions --search advanced --json");
  ASSERT_EQ(before.exitCode, 0) << before.err;
  const CliRun after = RunCli("partitions --search advanced --json " + mapped);
  ASSERT_EQ(after.exitCode, 0) << after.err;
  EXPECT_EQ(after.out, before.out);
  // Split around the command, the --mapfile still belongs to the --disk before it.
  const CliRun split = RunCli(Disk("bare-36") + " partitions --search advanced --json " + mapped);
  ASSERT_EQ(split.exitCode, 0) << split.err;
  const CliRun splitBefore = RunCli(Disk("bare-36") + " " + mapped + " partitions --search advanced --json");
  EXPECT_EQ(split.out, splitBefore.out);
  // Below "log" too, and for the recovery log.
  const std::string log = (dir / "case").string();
  ASSERT_EQ(RunCli("log save " + Quoted(log) + " " + Disk("deleted")).exitCode, 0);
  const CliRun loaded = RunCli("ls --json --log " + Quoted(log + ".SAV") + " " + Disk("deleted"));
  EXPECT_EQ(loaded.exitCode, 0) << loaded.err;
}

TEST(ConsoleConventions, ErrorsAreOneLineOnStandardErrorNamingTheProgram) {
  const UnchangedFixtures unchanged{"bare-36"};
  const auto expectOneLine = [](const CliRun& run, int exitCode, const std::string& mentions) {
    EXPECT_EQ(run.exitCode, exitCode) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
    EXPECT_TRUE(run.err.starts_with("vantrel-cli: ")) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_NE(run.err.find(mentions), std::string::npos) << run.err;
  };
  expectOneLine(RunCli(Disk("bare-36") + " partitions --sideways"), 1, "--sideways");
  expectOneLine(RunCli(Disk("bare-36")), 1, "subcommand");
  expectOneLine(RunCli(Disk("bare-36") + " partitions --search sideways"), 1, "sideways");
  expectOneLine(RunCli("--disk /nonexistent.img disks"), 1, "/nonexistent.img");
  expectOneLine(RunCli(Disk("bare-36") + " carve"), 1, "--out");
  expectOneLine(RunCli(Disk("bare-36") + " log"), 1, "subcommand");
}

TEST(ConsoleConventions, ADiskTheUserMayNotReadSaysHowToGetAccess) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to make a device node and give up root";
  TempDir dir;
  std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_all | std::filesystem::perms::group_exec |
                                               std::filesystem::perms::others_exec);
  const std::string device = (dir / "disk").string();
  if (::mknod(device.c_str(), S_IFBLK | 0600, makedev(7, 0)) != 0) GTEST_SKIP() << "cannot make a device node here";
  const CliRun run = RunCliAsNobody("--disk " + Quoted(device) + " partitions");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "vantrel-cli: Disk0 cannot open " + device +
                         ": Permission denied (run as root, or add yourself to the disk group)\n");
}

TEST(ConsoleConventions, EveryCommandsHelpShowsAnExampleOfItself) {
  for (const std::string command : {"", "disks", "partitions", "ls", "save", "carve", "log", "log save", "listing"}) {
    const CliRun run = RunCli(command + " --help");
    EXPECT_EQ(run.exitCode, 0) << command << run.err;
    const auto example = run.out.find("Example:\n  vantrel-cli ");
    ASSERT_NE(example, std::string::npos) << command << run.out;
    EXPECT_NE(run.out.find(command, example), std::string::npos) << command << run.out;
  }
}

TEST(ConsoleConventions, LogIsSavedUnderTheNameGivenAndLoadsBackByIt) {
  const UnchangedFixtures unchanged{"deleted"};
  TempDir dir;
  const CliRun fromBuild = RunCli(Disk("deleted") + " ls --json");
  ASSERT_EQ(fromBuild.exitCode, 0) << fromBuild.err;
  // name given -> file written
  const std::pair<std::string, std::string> names[] = {
      {"case.SAV", "case.SAV"}, {"Mixed-Case", "Mixed-Case.SAV"}, {"old.sav", "old.sav"}, {"case.log", "case.log"}};
  for (const auto& [given, written] : names) {
    const CliRun saved = RunCli(Disk("deleted") + " log save " + Quoted((dir / given).string()));
    ASSERT_EQ(saved.exitCode, 0) << given << saved.err;
    EXPECT_NE(saved.out.find((dir / written).string()), std::string::npos) << saved.out;
    ASSERT_TRUE(std::filesystem::is_regular_file(dir / written)) << given;
    const CliRun loaded = RunCli(Disk("deleted") + " --log " + Quoted((dir / written).string()) + " ls --json");
    ASSERT_EQ(loaded.exitCode, 0) << given << loaded.err;
    EXPECT_EQ(loaded.out, fromBuild.out) << given;
  }
  // The name given to "log save" loads the log it wrote.
  const CliRun byGivenName = RunCli(Disk("deleted") + " --log " + Quoted((dir / "Mixed-Case").string()) + " ls --json");
  EXPECT_EQ(byGivenName.exitCode, 0) << byGivenName.err;
  EXPECT_EQ(byGivenName.out, fromBuild.out);
  const CliRun missing = RunCli(Disk("deleted") + " --log " + Quoted((dir / "nothing").string()) + " ls");
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("nothing"), std::string::npos) << missing.err;
  // Nothing was written under an upper-cased name.
  EXPECT_FALSE(std::filesystem::exists(dir / "CASE.SAV"));
  EXPECT_FALSE(std::filesystem::exists(dir / "MIXED-CASE.SAV"));
}

}  // namespace
}  // namespace vantrel::test
