// vantrel-cli ls on the fixture images: the JSON catalogue and the folder listings.

#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <set>

#include "support/CliRunner.h"
#include "support/Fixtures.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

// Runs vantrel-cli ls with the image as its only disk, in UTC so that the times read alike
// everywhere.
CliRun RunLs(const std::string& image, const std::string& arguments) {
  ::setenv("TZ", "UTC", 1);
  return RunCli("--disk " + Quoted(FixtureImage(image)) + " ls " + arguments);
}

nlohmann::json JsonLs(const std::string& image, const std::string& arguments) {
  const CliRun result = RunLs(image, "--json " + arguments);
  EXPECT_EQ(result.exitCode, 0);
  return nlohmann::json::parse(result.out);
}

std::set<std::string> Paths(const nlohmann::json& entries) {
  std::set<std::string> paths;
  for (const auto& entry : entries) paths.insert(entry["path"].get<std::string>());
  return paths;
}

TEST(LsCommand, JsonHoldsTheWholeCatalogueWithPathsFromTheRoot) {
  const UnchangedFixtures unchanged{"mbr-mixed"};
  const nlohmann::json catalogue = JsonLs("mbr-mixed", "");
  const nlohmann::json partition = ManifestPartition(FixtureManifest("mbr-mixed"), 1);
  const std::set<std::string> folders = Paths(catalogue["folders"]);
  const std::set<std::string> files = Paths(catalogue["files"]);
  // Every entry keeps its path, moved ones and both names of the hard link included.
  for (const auto& entry : partition["entries"]) {
    const std::string path = entry["path"];
    EXPECT_TRUE((entry["kind"] == "dir" ? folders : files).contains(path)) << path;
  }
  EXPECT_FALSE(folders.contains("Lost"));            // a sound volume: nothing lost, no "Lost" folder
  EXPECT_FALSE(folders.contains(".reiserfs_priv"));  // the file system's own, as the kernel hides it
  const auto& first = catalogue["files"][0];
  for (const char* field : {"name", "path", "objectId", "parentId", "size", "mtime", "typeCode"})
    EXPECT_TRUE(first.contains(field)) << field;
  EXPECT_TRUE(catalogue["lost"]["folders"].empty());
}

TEST(LsCommand, PartitionRecordStartSectorAndAdvancedBuild) {
  const UnchangedFixtures unchanged{"mbr-mixed", "bare-36", "reformatted"};
  const nlohmann::json old = JsonLs("mbr-mixed", "--partition 1");
  EXPECT_EQ(old["files"].size(), 31u);  // the 3.5 partition
  const nlohmann::json bare = JsonLs("bare-36", "--start 0 --file-search advanced");
  EXPECT_EQ(bare["files"].size(), 266u);
  // The reformatted volume: what lost its folder is under "Lost".
  const nlohmann::json reformatted = JsonLs("reformatted", "--file-search advanced");
  ASSERT_FALSE(reformatted["lost"]["files"].empty());
  ASSERT_FALSE(reformatted["lost"]["folders"].empty());
  EXPECT_TRUE(Paths(reformatted["folders"]).contains("Lost"));
  for (const auto& path : reformatted["lost"]["files"]) EXPECT_EQ(path.get<std::string>().rfind("Lost/", 0), 0u);
  for (const auto& path : reformatted["lost"]["folders"]) EXPECT_EQ(path.get<std::string>().rfind("Lost/", 0), 0u);
}

TEST(LsCommand, ListsAFolderWithTheCatalogueColumns) {
  const UnchangedFixtures unchanged{"mbr-mixed"};
  const CliRun result = RunLs("mbr-mixed", "'deep/level 1'");
  ASSERT_EQ(result.exitCode, 0);
  EXPECT_NE(result.out.find("Name     Type    Size  Date         Time      ID\n"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("level 2  Folder     0  05-Jan-2006  17:24:14  "), std::string::npos) << result.out;
}

TEST(LsCommand, RecursiveListingVisitsEverySubFolder) {
  const UnchangedFixtures unchanged{"mbr-mixed"};
  const CliRun result = RunLs("mbr-mixed", "-R deep");
  ASSERT_EQ(result.exitCode, 0);
  for (const char* header : {"/deep:\n", "/deep/level 1:\n", "/deep/level 1/level 2/level 3/level 4:\n"})
    EXPECT_NE(result.out.find(header), std::string::npos) << header;
}

TEST(LsCommand, UnknownFolderOrPartitionRecordIsReported) {
  const UnchangedFixtures unchanged{"mbr-mixed"};
  EXPECT_EQ(RunLs("mbr-mixed", "no-such-folder").exitCode, 3);
  EXPECT_EQ(RunLs("mbr-mixed", "--partition 7").exitCode, 3);
}

}  // namespace
}  // namespace vantrel::test
