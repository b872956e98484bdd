// vantrel-cli log save, --log and listing on the fixture images.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "support/CliRunner.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

std::string Disk(const std::string& image) { return "--disk " + Quoted(FixtureImage(image)) + " "; }

std::string Contents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The listing of a build as a log of it shows it: a log keeps no owners, link counts or
// device numbers, which are read again from the live tree; those of objects it no longer
// holds (deleted ones, found by the advanced build) are not there, nor the modes of the
// folders the build put in "Lost".
nlohmann::json AsFromALog(nlohmann::json built, const nlohmann::json& logged) {
  for (const char* list : {"files", "folders"})
    for (std::size_t i = 0; i < std::min(built[list].size(), logged[list].size()); ++i)
      for (const char* field : {"mode", "uid", "gid", "nlink", "rdev"})
        if (!logged[list][i].contains(field)) built[list][i].erase(field);
  return built;
}

TEST(LogCommand, LsFromALoadedLogEqualsLsFromTheBuildForBothBuildsOfEveryFixture) {
  const UnchangedFixtures unchanged{"mbr-mixed", "bare-36", "deleted", "reformatted"};
  ::setenv("TZ", "UTC", 1);
  TempDir temp;
  for (const std::string image : {"mbr-mixed", "bare-36", "reformatted", "deleted"})
    for (const std::string build : {"quick", "advanced"}) {
      const std::string options = (image == "bare-36" ? "--start 0 " : "") + std::string("--file-search ") + build;
      const std::string log = (temp / (image + "-" + build)).string();
      const CliRun saved = RunCli(Disk(image) + "log save " + Quoted(log) + " " + options);
      ASSERT_EQ(saved.exitCode, 0) << image << " " << build << saved.err;
      EXPECT_NE(saved.out.find("Recovery log written to "), std::string::npos);
      const CliRun fromBuild = RunCli(Disk(image) + "ls --json " + options);
      const CliRun fromLog = RunCli(Disk(image) + "--log " + Quoted(log + ".SAV") + " ls --json");
      ASSERT_EQ(fromLog.exitCode, 0) << image << " " << build << fromLog.err;
      if (build == "quick") {
        EXPECT_EQ(fromLog.out, fromBuild.out) << image << " " << build;
        continue;
      }
      const nlohmann::json logged = nlohmann::json::parse(fromLog.out);
      EXPECT_EQ(logged, AsFromALog(nlohmann::json::parse(fromBuild.out), logged)) << image << " " << build;
    }
}

std::map<std::string, std::string> FilesBelow(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    if (entry.is_regular_file()) files[std::filesystem::relative(entry.path(), folder).string()] = Contents(entry.path());
  return files;
}

TEST(LogCommand, SavingFromALoadedLogWritesTheSameFiles) {
  const UnchangedFixtures unchanged{"deleted"};
  TempDir temp;
  for (const std::string build : {"quick", "advanced"}) {
    const std::string log = (temp / build).string();
    ASSERT_EQ(RunCli(Disk("deleted") + "log save " + Quoted(log) + " --file-search " + build).exitCode, 0);
    const auto fromBuild = temp / (build + "-build");
    const auto fromLog = temp / (build + "-log");
    ASSERT_EQ(RunCli(Disk("deleted") + "save --out " + Quoted(fromBuild.string()) + " --file-search " + build).exitCode, 0);
    const std::string saved = log + ".SAV";
    ASSERT_EQ(RunCli(Disk("deleted") + "--log " + Quoted(saved) + " save --out " + Quoted(fromLog.string())).exitCode, 0);
    const auto expected = FilesBelow(fromBuild);
    EXPECT_GT(expected.size(), 100u);
    EXPECT_EQ(FilesBelow(fromLog), expected) << build;
  }
}

TEST(LogCommand, LogOfAnotherDiskIsRefused) {
  const UnchangedFixtures unchanged{"deleted", "reformatted"};
  TempDir temp;
  ASSERT_EQ(RunCli(Disk("deleted") + "log save " + Quoted((temp / "d").string())).exitCode, 0);
  const std::string log = Quoted((temp / "d.SAV").string());
  const CliRun shown = RunCli(Disk("reformatted") + "--log " + log + " ls");
  EXPECT_EQ(shown.exitCode, 5);
  EXPECT_NE(shown.out.find("You Have Selected Wrong Disk"), std::string::npos) << shown.out;
  const CliRun json = RunCli(Disk("reformatted") + "--log " + log + " ls --json");
  EXPECT_EQ(json.exitCode, 5);
  EXPECT_TRUE(json.out.empty());
  EXPECT_NE(json.err.find("You Have Selected Wrong Disk"), std::string::npos) << json.err;
  // The same image named second: its model matches, and that disk is the one read.
  const CliRun second = RunCli(Disk("reformatted") + Disk("deleted") + "--log " + log + " ls --disk-index 1");
  EXPECT_EQ(second.exitCode, 0) << second.err;
}

TEST(LogCommand, ListingPrintsTheFolderTreeOrWritesItsTextForm) {
  const UnchangedFixtures unchanged{"mbr-mixed"};
  const CliRun printed = RunCli(Disk("mbr-mixed") + "listing");
  ASSERT_EQ(printed.exitCode, 0) << printed.err;
  EXPECT_NE(printed.out.find("Root-> deep\ndeep-> level 1\ndeep\\level 1-> level 2\n"), std::string::npos)
      << printed.out;
  // A quick build of a sound volume loses nothing: no "Lost" line, as the window shows none.
  EXPECT_EQ(printed.out.find("Root-> Lost"), std::string::npos) << printed.out;
  TempDir temp;
  const auto out = temp / "list.txt";
  ASSERT_EQ(RunCli(Disk("mbr-mixed") + "listing --out " + Quoted(out.string())).exitCode, 0);
  const std::string text = Contents(out);
  EXPECT_NE(text.find("deep\\level 1\\level 2-> level 3\r\n"), std::string::npos);
  std::string crlf = printed.out;
  for (std::size_t at = 0; (at = crlf.find('\n', at)) != std::string::npos; at += 2) crlf.replace(at, 1, "\r\n");
  // Standard output also carries the build's closing message.
  EXPECT_TRUE(crlf.ends_with(text)) << text;
}

// Every line names one folder of the catalogue: "Root-> top" or "a\\b-> c" for a/b/c.
TEST(LogCommand, ListingOfEveryFixtureHasOneLinePerFolderInTheLineFormat) {
  const UnchangedFixtures unchanged{"mbr-mixed", "bare-36", "deleted", "reformatted"};
  for (const std::string image : {"mbr-mixed", "bare-36", "reformatted", "deleted"}) {
    const std::string options = image == "bare-36" ? "--start 0 --file-search advanced" : "--file-search advanced";
    const CliRun json = RunCli(Disk(image) + "ls --json " + options);
    ASSERT_EQ(json.exitCode, 0);
    std::set<std::string> folders;
    const nlohmann::json catalogue = nlohmann::json::parse(json.out);
    for (const auto& folder : catalogue["folders"]) folders.insert(folder["path"].get<std::string>());
    const CliRun listing = RunCli(Disk(image) + "listing " + options);
    std::istringstream lines(listing.out);
    std::set<std::string> listed;
    for (std::string line; std::getline(lines, line);) {
      const std::size_t arrow = line.find("-> ");
      if (arrow == std::string::npos) continue;  // a message of the build
      std::string parent = line.substr(0, arrow);
      std::replace(parent.begin(), parent.end(), '\\', '/');
      listed.insert((parent == "Root" ? "" : parent + "/") + line.substr(arrow + 3));
    }
    EXPECT_EQ(listed, folders) << image;
  }
}

}  // namespace
}  // namespace vantrel::test
