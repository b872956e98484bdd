// The order in which a save gives an entry what it keeps: the owner before the mode (a
// change of owner clears the set-id bits), symbolic links given their own owner and times
// and never a mode through them, set-id bits dropped where the owner could not be kept.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "saving/KeptAttributes.h"
#include "support/TempDir.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

CatalogueEntry Entry(std::uint32_t mode, std::uint32_t uid) {
  CatalogueEntry entry;
  entry.mode = mode;
  entry.modificationTime = 1230768000;
  entry.details = {.uid = uid, .gid = uid, .accessTime = 1230700000, .changeTime = 0, .rdev = 0, .linkCount = 1};
  return entry;
}

TEST(KeptAttributes, OwnerGoesBeforeTheModeSoSetIdBitsStay) {
  if (::geteuid() != 0) GTEST_SKIP() << "owners are given away by root only";
  TempDir temp;
  const fs::path path = temp / "tool";
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
  ASSERT_GE(fd, 0);
  NotKept notKept;
  AttributeKeeper(PreserveSet::All(), notKept).Apply(fd, path, Entry(0104750, 1234), nullptr);
  ::close(fd);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 04750u);
  EXPECT_EQ(st.st_uid, 1234u);
  EXPECT_EQ(st.st_atime, 1230700000);
  EXPECT_EQ(st.st_mtime, 1230768000);
  EXPECT_EQ(notKept, NotKept{});
}

TEST(KeptAttributes, ALinkKeepsItsOwnOwnerAndTimesAndItsTargetIsUntouched) {
  TempDir temp;
  const fs::path target = temp / "target";
  const fs::path link = temp / "link";
  ::close(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0640));
  fs::create_symlink(target, link);
  struct stat before {};
  ASSERT_EQ(::stat(target.c_str(), &before), 0);
  NotKept notKept;
  AttributeKeeper(PreserveSet::All(), notKept).Apply(-1, link, Entry(0120777, ::geteuid()), nullptr);
  struct stat st {};
  ASSERT_EQ(::lstat(link.c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, 1230768000);
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode, before.st_mode);
  EXPECT_EQ(st.st_mtime, before.st_mtime);
}

TEST(KeptAttributes, SetIdBitsAreDroppedAndCountedWhereTheOwnerIsNotKept) {
  TempDir temp;
  const fs::path path = temp / "tool";
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
  ASSERT_GE(fd, 0);
  PreserveSet modeOnly = PreserveSet::Default();
  modeOnly.Add(Kept::Mode);
  NotKept notKept;
  AttributeKeeper(modeOnly, notKept).Apply(fd, path, Entry(0106755, 1234), nullptr);
  ::close(fd);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0755u);
  EXPECT_EQ(notKept.modes, 1u);
  // A log that holds no stat data: nothing of owner and mode is made up, it is counted.
  NotKept fromLog;
  CatalogueEntry unknown;
  unknown.modificationTime = 1230768000;
  AttributeKeeper(PreserveSet::All(), fromLog).Apply(-1, path, unknown, nullptr);
  EXPECT_EQ(fromLog.unknown, 1u);
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0755u);
}

}  // namespace
}  // namespace vantrel::test
