// The "owners" fixture mounted: every entry's kind, owner, group, whole mode, times, device
// numbers and link target, and the volume's extended attributes and ACLs beside the mount's
// own, as the kernel showed them (the fixture's manifest).

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <map>

#include "MountedImage.h"
#include "support/ExtendedAttributes.h"
#include "support/Fixtures.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

const std::map<std::string, mode_t> kFormatOfType{{"directory", S_IFDIR},          {"regular file", S_IFREG},
                                                  {"symbolic link", S_IFLNK},      {"fifo", S_IFIFO},
                                                  {"block special file", S_IFBLK}, {"character special file", S_IFCHR}};

// The volume's own attributes of a path, not the mount's.
std::map<std::string, std::string> VolumeAttributes(const fs::path& path) {
  std::map<std::string, std::string> attributes = ExtendedAttributesInHex(path);
  std::erase_if(attributes, [](const auto& attribute) { return attribute.first.rfind("user.vantrel.", 0) == 0; });
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
      if (!S_ISLNK(st.st_mode)) {
        EXPECT_EQ(st.st_mode & 07777, std::stoul(shown["mode"].get<std::string>(), nullptr, 8));
      }
      EXPECT_EQ(st.st_mtime, shown["mtime"].get<time_t>());
      EXPECT_EQ((nlohmann::json{major(st.st_rdev), minor(st.st_rdev)}), shown["rdev"]);
      if (shown.contains("target")) {
        EXPECT_EQ(fs::read_symlink(mounted / path).string(), shown["target"]);
      }
      std::map<std::string, std::string> expected;
      for (const auto& [name, value] : shown["xattrs"].items()) expected[name] = value;
      EXPECT_EQ(VolumeAttributes(mounted / path), expected);
    }
  }
}

}  // namespace
}  // namespace vantrel::test
