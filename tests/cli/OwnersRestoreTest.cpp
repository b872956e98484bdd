// A server's volume restored as the kernel showed it (the "owners" fixture: owners, modes
// with set-id and sticky bits, symbolic and hard links, a FIFO, device nodes, a sparse file,
// extended attributes and ACLs; its manifest holds what the kernel showed of every entry):
// listed by ls --json, saved with --preserve=all as root, by default, and by another user.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>

#include "support/CliRunner.h"
#include "support/ExtendedAttributes.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

const std::map<std::string, std::string> kKindOfType{{"directory", "folder"},
                                                     {"regular file", "regular"},
                                                     {"symbolic link", "symlink"},
                                                     {"fifo", "fifo"},
                                                     {"block special file", "block-device"},
                                                     {"character special file", "char-device"}};

const std::map<std::string, mode_t> kFormatOfType{{"directory", S_IFDIR},          {"regular file", S_IFREG},
                                                  {"symbolic link", S_IFLNK},      {"fifo", S_IFIFO},
                                                  {"block special file", S_IFBLK}, {"character special file", S_IFCHR}};

// The manifest's entries of partition 1 (3.6, with attributes) or 2 (3.5).
const nlohmann::json& Shown(int partition) {
  static const nlohmann::json manifest = FixtureManifest("owners");
  return manifest[partition == 1 ? "restore" : "restore_35"]["entries"];
}

std::string Disk() { return "--disk " + Quoted(FixtureImage("owners")) + " "; }
std::string Partition(int partition) { return partition == 1 ? "" : " --partition 1"; }

std::string Octal(mode_t mode) {
  char text[8];
  std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
  return text;
}

// The user, trusted and ACL attributes of a path, the link itself for a link.
std::map<std::string, std::string> Attributes(const fs::path& path) {
  std::map<std::string, std::string> attributes = ExtendedAttributesInHex(path);
  std::erase_if(attributes, [](const auto& attribute) {
    const std::string& name = attribute.first;
    return name.rfind("user.", 0) != 0 && name.rfind("trusted.", 0) != 0 && name.rfind("system.posix_acl", 0) != 0;
  });
  return attributes;
}

std::map<std::string, std::string> AttributesOf(const nlohmann::json& entry) {
  std::map<std::string, std::string> attributes;
  for (const auto& [name, value] : entry["xattrs"].items()) attributes[name] = value;
  return attributes;
}

TEST(OwnersRestore, LsJsonGivesKindModeOwnerLinksAndDevicesAsTheKernelShowedThem) {
  const UnchangedFixtures unchanged{"owners"};
  for (const int partition : {1, 2})
    for (const std::string build : {"quick", "advanced"}) {
      const CliRun run = RunCli(Disk() + "ls --json --file-search " + build + Partition(partition));
      ASSERT_EQ(run.exitCode, 0) << run.err;
      const nlohmann::json listed = nlohmann::json::parse(run.out);
      std::map<std::string, nlohmann::json> byPath;
      for (const char* list : {"files", "folders"})
        for (const auto& entry : listed[list]) byPath[entry["path"]] = entry;
      for (const auto& [path, shown] : Shown(partition).items()) {
        SCOPED_TRACE(std::to_string(partition) + " " + build + " " + path);
        // The advanced build lists an object of several names once, under the name seen last.
        if (build == "advanced" && path == "links/one/file.dat") continue;
        ASSERT_TRUE(byPath.contains(path));
        const nlohmann::json& entry = byPath[path];
        EXPECT_EQ(entry["kind"], kKindOfType.at(shown["type"]));
        if (shown["type"] != "symbolic link") {
          EXPECT_EQ(entry["mode"], shown["mode"]);
        }
        EXPECT_EQ(entry["uid"], shown["uid"]);
        EXPECT_EQ(entry["gid"], shown["gid"]);
        EXPECT_EQ(entry["mtime"], shown["mtime"]);
        EXPECT_EQ(entry["rdev"], shown["rdev"]);
        if (shown["type"] != "directory") {
          EXPECT_EQ(entry["nlink"], shown["nlink"]);
        }
        if (shown.contains("target")) {
          EXPECT_EQ(entry["target"], shown["target"]);
        }
      }
      // The private folder is not listed, nor anything in it.
      for (const auto& [path, entry] : byPath) EXPECT_EQ(path.find(".reiserfs_priv"), std::string::npos) << path;
    }
}

TEST(OwnersRestore, LsJsonListsTheFolderGivenAndWithRecursiveItsSubtree) {
  const UnchangedFixtures unchanged{"owners"};
  const nlohmann::json one = nlohmann::json::parse(RunCli(Disk() + "ls --json var/spool").out);
  ASSERT_EQ(one["folders"].size(), 1u);
  EXPECT_EQ(one["folders"][0]["path"], "var/spool/mail");
  EXPECT_TRUE(one["files"].empty());
  const nlohmann::json below = nlohmann::json::parse(RunCli(Disk() + "ls --json -R var/spool").out);
  EXPECT_EQ(below["folders"].size(), 4u);
  ASSERT_EQ(below["files"].size(), 1u);
  EXPECT_EQ(below["files"][0]["path"], "var/spool/mail/carol/Maildir/cur/1250000000.M7P9.srv:2,FS");
  EXPECT_EQ(RunCli(Disk() + "ls --json no/such/folder").exitCode, 3);
}

// Every entry of the partition saved below root as the kernel showed it.
void ExpectRestored(const fs::path& root, int partition, bool attributes) {
  for (const auto& [path, shown] : Shown(partition).items()) {
    SCOPED_TRACE(path);
    struct stat st {};
    ASSERT_EQ(::lstat((root / path).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & S_IFMT, kFormatOfType.at(shown["type"]));
    EXPECT_EQ(st.st_uid, shown["uid"].get<uid_t>());
    EXPECT_EQ(st.st_gid, shown["gid"].get<gid_t>());
    if (!S_ISLNK(st.st_mode)) {
      EXPECT_EQ(Octal(st.st_mode), shown["mode"]);
    }
    EXPECT_EQ(st.st_mtime, shown["mtime"].get<time_t>());
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) {
      EXPECT_EQ((nlohmann::json{major(st.st_rdev), minor(st.st_rdev)}), shown["rdev"]);
    }
    if (shown.contains("target")) {
      EXPECT_EQ(fs::read_symlink(root / path).string(), shown["target"]);
    }
    if (attributes) {
      EXPECT_EQ(Attributes(root / path), AttributesOf(shown));
    }
  }
  // The two names of one file are one inode.
  struct stat one {
  }, two{};
  ASSERT_EQ(::stat((root / "links/one/file.dat").c_str(), &one), 0);
  ASSERT_EQ(::stat((root / "links/two/same.dat").c_str(), &two), 0);
  EXPECT_EQ(one.st_ino, two.st_ino);
  EXPECT_EQ(one.st_nlink, 2u);
  EXPECT_FALSE(fs::exists(root / ".reiserfs_priv"));
}

TEST(OwnersRestore, PreserveAllAsRootGivesEveryEntryAsTheKernelShowedIt) {
  if (::geteuid() != 0) GTEST_SKIP() << "owners are given away by root only";
  const UnchangedFixtures unchanged{"owners"};
  TempDir temp;
  for (const int partition : {1, 2}) {
    const fs::path out = temp / ("p" + std::to_string(partition));
    const CliRun run = RunCli(Disk() + "save --preserve=all --out " + Quoted(out.string()) + Partition(partition));
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(run.out.find("Could not keep"), std::string::npos) << run.out;
    ExpectRestored(out, partition, partition == 1);
  }
  // The sparse file keeps its holes: 3 MiB long, a few blocks written.
  struct stat sparse {};
  ASSERT_EQ(::stat((temp / "p1/opt/app/data.img").c_str(), &sparse), 0);
  EXPECT_EQ(sparse.st_size, 8192 + 3145728 + 4000);
  EXPECT_LT(sparse.st_blocks * 512, 64 * 1024);
}

TEST(OwnersRestore, DefaultSaveKeepsLinksModesWithoutSetIdAndTimes) {
  const UnchangedFixtures unchanged{"owners"};
  TempDir temp;
  const CliRun run = RunCli(Disk() + "save --out " + Quoted(temp.Path().string()));
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_EQ(fs::read_symlink(temp / "links/dave"), "../home/dave");
  struct stat st {};
  ASSERT_EQ(::lstat((temp / "links/to-spool").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, Shown(1)["links/to-spool"]["mtime"].get<time_t>());
  ASSERT_EQ(::stat((temp / "public").c_str(), &st), 0);
  EXPECT_EQ(Octal(st.st_mode), "0777");  // 3777 on the disk
  EXPECT_EQ(st.st_mtime, Shown(1)["public"]["mtime"].get<time_t>());
  ASSERT_EQ(::stat((temp / "home/dave/docs/report.txt").c_str(), &st), 0);
  EXPECT_EQ(Octal(st.st_mode), "0444");
  EXPECT_TRUE(fs::is_regular_file(temp / "dev-like/fifo"));  // special files only when asked
  EXPECT_TRUE(Attributes(temp / "home/dave/docs/report.txt").empty());
  struct stat one {
  }, two{};
  ASSERT_EQ(::stat((temp / "links/one/file.dat").c_str(), &one), 0);
  ASSERT_EQ(::stat((temp / "links/two/same.dat").c_str(), &two), 0);
  EXPECT_EQ(one.st_ino, two.st_ino);
  // --no-preserve takes away what the default keeps; a word that is none is refused.
  TempDir plain;
  ASSERT_EQ(RunCli(Disk() + "save --no-preserve=links,mode --out " + Quoted(plain.Path().string())).exitCode, 0);
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(plain / "links/dave")));
  ASSERT_EQ(::stat((plain / "links/one/file.dat").c_str(), &one), 0);
  ASSERT_EQ(::stat((plain / "links/two/same.dat").c_str(), &two), 0);
  EXPECT_NE(one.st_ino, two.st_ino);
  const CliRun refused = RunCli(Disk() + "save --preserve=mode,owners --out " + Quoted(plain.Path().string()));
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("\"owners\""), std::string::npos) << refused.err;
}

TEST(OwnersRestore, AnotherUserKeepsWhatIsAllowedAndCountsTheRestOnce) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run as nobody";
  const UnchangedFixtures unchanged{"owners"};
  TempDir temp;
  const fs::path out = temp / "out";
  fs::create_directory(out);
  ASSERT_EQ(::chown(out.c_str(), 65534, 65534), 0);
  ASSERT_EQ(::chmod(temp.Path().c_str(), 0755), 0);
  const std::string image = (temp / "owners.img").string();
  fs::copy_file(FixtureImage("owners"), image);
  ASSERT_EQ(::chmod(image.c_str(), 0644), 0);
  const CliRun run = RunCliAsNobody("--disk " + Quoted(image) + " save --preserve=all --out " + Quoted(out.string()));
  EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
  // Told once, with why.
  const auto told = run.out.find("Could not keep: ");
  ASSERT_NE(told, std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("Could not keep", told + 1), std::string::npos);
  EXPECT_NE(run.out.find("only root may give entries to other users"), std::string::npos);
  // The user's own attribute goes on before the file is made read-only; the mode follows.
  EXPECT_EQ(Attributes(out / "home/dave/docs/report.txt"), AttributesOf(Shown(1)["home/dave/docs/report.txt"]));
  struct stat st {};
  ASSERT_EQ(::stat((out / "home/dave/docs/report.txt").c_str(), &st), 0);
  EXPECT_EQ(Octal(st.st_mode), "0444");
  EXPECT_EQ(st.st_uid, 65534u);
  EXPECT_TRUE(S_ISFIFO(::lstat((out / "dev-like/fifo").c_str(), &st) == 0 ? st.st_mode : 0));
  EXPECT_TRUE(fs::is_regular_file(out / "dev-like/zero"));  // only root makes device nodes
}

TEST(OwnersRestore, NothingIsWrittenThroughALinkFoundInTheDestination) {
  const UnchangedFixtures unchanged{"owners"};
  TempDir temp;
  const fs::path out = temp / "out";
  const fs::path elsewhere = temp / "elsewhere";
  fs::create_directories(out);
  fs::create_directories(elsewhere);
  fs::create_directory_symlink(elsewhere, out / "home");
  const CliRun run = RunCli(Disk() + "save --preserve=all --replace no-to-all --out " + Quoted(out.string()));
  EXPECT_EQ(run.exitCode, 4) << run.out << run.err;  // the files below the link could not be written
  EXPECT_TRUE(fs::is_empty(elsewhere));              // no folder made there either
  EXPECT_TRUE(fs::is_symlink(out / "links/to-run"));
}

}  // namespace
}  // namespace vantrel::test
