// The "owners" fixture mounted: every entry's kind, owner, group, whole mode, times, device
// numbers and link target, and the volume's extended attributes and ACLs beside the mount's
// own, as the kernel showed them (the fixture's manifest).

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>

#include <cstdio>
#include <cstring>
#include <map>

#include "MountedImage.h"
#include "support/Fixtures.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

const std::map<std::string, mode_t> kFormatOfType{{"directory", S_IFDIR},          {"regular file", S_IFREG},
                                                  {"symbolic link", S_IFLNK},      {"fifo", S_IFIFO},
                                                  {"block special file", S_IFBLK}, {"character special file", S_IFCHR}};

// The volume's own attributes of a path, as getfattr -e hex shows them.
std::map<std::string, std::string> VolumeAttributes(const fs::path& path) {
  std::map<std::string, std::string> attributes;
  std::vector<char> names(65536);
  const ssize_t length = ::llistxattr(path.c_str(), names.data(), names.size());
  for (ssize_t at = 0; at < length; at += static_cast<ssize_t>(std::strlen(names.data() + at)) + 1) {
    const std::string name(names.data() + at);
    if (name.rfind("user.vantrel.", 0) == 0) continue;
    std::vector<unsigned char> value(65536);
    const ssize_t size = ::lgetxattr(path.c_str(), name.c_str(), value.data(), value.size());
    std::string hex = "0x";
    for (ssize_t i = 0; i < size; ++i) {
      char two[3];
      std::snprintf(two, sizeof two, "%02x", value[static_cast<std::size_t>(i)]);
      hex += two;
    }
    attributes[name] = hex;
  }
  return attributes;
}

TEST(MountOwners, EntriesShowTheirOwnersModesDevicesAndAttributesAsTheKernelDid) {
  std::string why;
  if (!FuseAvailable(&why)) GTEST_SKIP() << why;
  const UnchangedFixtures unchanged{"owners"};
  const nlohmann::json manifest = FixtureManifest("owners");
  for (const int partition : {1, 2}) {
    const MountedImage mounted("--disk " + Quoted(FixtureImage("owners")), partition == 1 ? "" : "--partition 1");
    ASSERT_TRUE(mounted.Mounted()) << mounted.Run().err;
    EXPECT_FALSE(fs::exists(mounted / ".reiserfs_priv"));
    for (const auto& [path, shown] : manifest[partition == 1 ? "restore" : "restore_35"]["entries"].items()) {
      SCOPED_TRACE(std::to_string(partition) + " " + path);
      struct stat st {};
      ASSERT_EQ(::lstat((mounted / path).c_str(), &st), 0);
      EXPECT_EQ(st.st_mode & S_IFMT, kFormatOfType.at(shown["type"]));
      EXPECT_EQ(st.st_uid, shown["uid"].get<uid_t>());
      EXPECT_EQ(st.st_gid, shown["gid"].get<gid_t>());
      if (!S_ISLNK(st.st_mode)) EXPECT_EQ(st.st_mode & 07777, std::stoul(shown["mode"].get<std::string>(), nullptr, 8));
      EXPECT_EQ(st.st_mtime, shown["mtime"].get<time_t>());
      EXPECT_EQ((nlohmann::json{major(st.st_rdev), minor(st.st_rdev)}), shown["rdev"]);
      if (shown.contains("target")) EXPECT_EQ(fs::read_symlink(mounted / path).string(), shown["target"]);
      std::map<std::string, std::string> expected;
      for (const auto& [name, value] : shown["xattrs"].items()) expected[name] = value;
      EXPECT_EQ(VolumeAttributes(mounted / path), expected);
    }
  }
}

}  // namespace
}  // namespace vantrel::test
