// Names as the kernel wrote them, through the console: Maildir flags and names in old
// character sets saved byte for byte, safe names where asked, names decoded for showing,
// and JSON that carries the exact bytes of every name.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "base/Base64.h"
#include "support/CliRunner.h"
#include "support/Fixtures.h"
#include "support/Sha256.h"
#include "support/TempDir.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

const std::string kLatin1Response = "latin1/r\xe9ponse.txt";

std::string Disk() { return "--disk " + Quoted(FixtureImage("names")); }

nlohmann::json NamesEntries() { return ManifestPartition(FixtureManifest("names"), 1)["entries"]; }

// The manifest's path of an entry as bytes: its base64 where the path is not UTF-8.
std::string ManifestPathBase64(const nlohmann::json& entry) {
  return entry.contains("path_base64") ? entry["path_base64"].get<std::string>()
                                       : Base64(entry["path"].get<std::string>());
}

// Every entry below root (the file system's own and "Lost" left out) by the base64 of its
// relative path, with the sha256 of files ("dir" for folders).
std::map<std::string, std::string> SavedTree(const fs::path& root) {
  std::map<std::string, std::string> tree;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    const std::string relative = fs::relative(it->path(), root).string();
    if (relative == ".reiserfs_priv" || relative == "Lost") {
      it.disable_recursion_pending();
      continue;
    }
    tree[Base64(relative)] = it->is_directory() ? "dir" : Sha256OfFile(it->path().string());
  }
  return tree;
}

TEST(CliNames, EverySavedPathIsTheVolumesPathByteForByte) {
  const UnchangedFixtures unchanged{"names"};
  const TempDir out;
  const CliRun run = RunCli(Disk() + " save --out " + Quoted(out.Path().string()));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out.find("Renamed"), std::string::npos) << run.out;
  std::map<std::string, std::string> expected;
  for (const auto& entry : NamesEntries())
    expected[ManifestPathBase64(entry)] = entry["kind"] == "dir" ? "dir" : entry["sha256"].get<std::string>();
  EXPECT_EQ(SavedTree(out.Path()), expected);
  EXPECT_TRUE(fs::exists(out.Path() / "Maildir/cur/1291234567.M0P1000.mx0,S=180:2,S"));
  EXPECT_TRUE(fs::exists(out.Path() / kLatin1Response));
}

TEST(CliNames, SafeNamesReplaceNumberWhatBecomesOneAndAreListed) {
  const UnchangedFixtures unchanged{"names"};
  const TempDir out;
  const CliRun run = RunCli(Disk() + " save --safe-names --out " + Quoted(out.Path().string()));
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const fs::path specials = out.Path() / "specials";
  std::set<std::string> names;
  for (const auto& item : fs::directory_iterator(specials)) names.insert(item.path().filename().string());
  EXPECT_EQ(names,
            (std::set<std::string>{"_tag_.txt", "a_b.txt", "a_b (2).txt", "a_b (3).txt", "back_slash.txt", "dir_one",
                                   "dir_one (2)", "pipe_name", "say _hi_.txt", "star_.txt", "what_.txt"}));
  // a_b.txt keeps its own name; a:b.txt and a?b.txt are numbered in the order saved.
  EXPECT_EQ(fs::file_size(specials / "a_b.txt"), 90u);
  EXPECT_EQ(fs::file_size(specials / "a_b (2).txt"), 70u);
  EXPECT_EQ(fs::file_size(specials / "a_b (3).txt"), 80u);
  EXPECT_TRUE(fs::exists(specials / "dir_one (2)/inside colon.txt"));
  EXPECT_TRUE(fs::exists(specials / "dir_one/inside underscore.txt"));
  EXPECT_TRUE(fs::exists(out.Path() / "Maildir/cur/1291234567.M0P1000.mx0,S=180_2,S"));
  // Names that are not UTF-8 are no reason for a safe name.
  EXPECT_TRUE(fs::exists(out.Path() / kLatin1Response));
  // Both names of every renamed entry: six characters, two names that became a third, a
  // folder, five Maildir messages.
  EXPECT_NE(run.out.find("Saved under another name (the destination cannot hold the name, or it was taken): 14\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("Renamed: " + (specials / "a_b (3).txt").string() + " (named \"a?b.txt\" on the disk)\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("Renamed: " + (specials / "dir_one (2)").string() + " (named \"dir:one\" on the disk)\n"),
            std::string::npos);
  EXPECT_EQ(run.out.find("named \"a_b.txt\""), std::string::npos);
}

TEST(CliNames, JsonCarriesTheExactBytesOfNamesThatAreNotUtf8AndDecodesThemWhenAsked) {
  const UnchangedFixtures unchanged{"names"};
  std::map<std::string, nlohmann::json> manifest;
  for (const auto& entry : NamesEntries()) manifest[ManifestPathBase64(entry)] = entry;
  const CliRun plain = RunCli(Disk() + " ls --json");
  ASSERT_EQ(plain.exitCode, 0) << plain.err;
  const nlohmann::json listed = nlohmann::json::parse(plain.out);
  std::size_t carried = 0;
  for (const char* list : {"files", "folders"})
    for (const auto& entry : listed[list]) {
      const std::string path = entry["path"];
      if (path == "Lost" || path.starts_with(".reiserfs_priv")) continue;
      // Every path, by its base64 where it is not UTF-8, is a path the kernel listed.
      const std::string bytes = entry.contains("path_base64") ? entry["path_base64"].get<std::string>() : Base64(path);
      EXPECT_TRUE(manifest.contains(bytes)) << path;
      EXPECT_EQ(entry.contains("path_base64"), manifest[bytes].contains("path_base64")) << path;
      carried += entry.contains("name_base64");
    }
  EXPECT_EQ(carried, 8u);  // 4 ISO-8859-1, 3 EUC-JP and 1 KOI8-R names, folders included

  const auto entryAt = [](const nlohmann::json& catalogue, const std::string& path) {
    for (const auto& entry : catalogue["files"])
      if (entry["path"] == path) return entry;
    return nlohmann::json();
  };
  const CliRun latin1 = RunCli(Disk() + " --name-encoding ISO-8859-1 ls --json");
  ASSERT_EQ(latin1.exitCode, 0) << latin1.err;
  const nlohmann::json response = entryAt(nlohmann::json::parse(latin1.out), "latin1/r\xc3\xa9ponse.txt");
  ASSERT_FALSE(response.is_null());
  EXPECT_EQ(response["name"], "r\xc3\xa9ponse.txt");
  EXPECT_FALSE(response.contains("path_base64"));
  const CliRun eucJp = RunCli(Disk() + " ls --json --name-encoding EUC-JP");
  ASSERT_EQ(eucJp.exitCode, 0) << eucJp.err;
  EXPECT_FALSE(entryAt(nlohmann::json::parse(eucJp.out), "eucjp/\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.txt").is_null());

  const CliRun unknown = RunCli(Disk() + " --name-encoding NO-SUCH-SET ls");
  EXPECT_EQ(unknown.exitCode, 1);
  EXPECT_NE(unknown.err.find("iconv does not know the character set NO-SUCH-SET"), std::string::npos);
}

TEST(CliNames, ListingsShowDecodedNamesAndConvertedSavesWriteThem) {
  const UnchangedFixtures unchanged{"names"};
  const CliRun ls = RunCli(Disk() + " --name-encoding ISO-8859-1 ls -R latin1");
  ASSERT_EQ(ls.exitCode, 0) << ls.err;
  EXPECT_NE(ls.out.find("r\xc3\xa9ponse.txt"), std::string::npos) << ls.out;
  EXPECT_NE(ls.out.find("/latin1/caf\xc3\xa9:\n"), std::string::npos) << ls.out;
  const CliRun listing = RunCli(Disk() + " --name-encoding KOI8-R listing");
  ASSERT_EQ(listing.exitCode, 0) << listing.err;
  EXPECT_NE(listing.out.find("Root-> specials\n"), std::string::npos) << listing.out;

  const TempDir out;
  const CliRun save = RunCli(Disk() + " --name-encoding ISO-8859-1 save --convert-names --out " +
                             Quoted(out.Path().string()) + " latin1");
  ASSERT_EQ(save.exitCode, 0) << save.err;
  for (const auto& entry : NamesEntries())
    if (entry.value("path_base64", "") == Base64(kLatin1Response)) {
      EXPECT_EQ(Sha256OfFile((out.Path() / "latin1/r\xc3\xa9ponse.txt").string()), entry["sha256"]);
    }
  EXPECT_TRUE(fs::exists(out.Path() / "latin1/caf\xc3\xa9/men\xc3\xbc \xc3\xa0 la carte.txt"));
  EXPECT_FALSE(fs::exists(out.Path() / kLatin1Response));
}

}  // namespace
}  // namespace vantrel::test
