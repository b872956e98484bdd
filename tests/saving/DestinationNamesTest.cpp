// Which destinations get safe names, and the names a saving run gives: as written, safe,
// safer after a refusal, numbered when taken, and listed when changed.

#include <gtest/gtest.h>

#include <fstream>

#include "saving/DestinationNamer.h"
#include "saving/DestinationNames.h"
#include "support/TempDir.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

TEST(DestinationNames, FatExfatAndNtfsNeedSafeNamesLinuxFileSystemsDoNot) {
  // statfs answers: vfat/msdos, exfat, ntfs, ntfs3; ext4, xfs, btrfs, tmpfs.
  for (const std::uint64_t type : {0x4d44ull, 0x2011BAB0ull, 0x5346544eull, 0x7366746eull})
    EXPECT_TRUE(FileSystemNeedsSafeNames(type, "")) << std::hex << type;
  for (const std::uint64_t type : {0xEF53ull, 0x58465342ull, 0x9123683Eull, 0x01021994ull})
    EXPECT_FALSE(FileSystemNeedsSafeNames(type, "")) << std::hex << type;
  // Through FUSE (statfs says only "fuse"): the mount's type tells.
  constexpr std::uint64_t kFuse = 0x65735546;
  for (const char* type : {"fuseblk", "fuse.ntfs-3g", "fuse.lowntfs-3g", "fuse.exfat", "fuseblk.exfat-fuse", "vfat"})
    EXPECT_TRUE(FileSystemNeedsSafeNames(kFuse, type)) << type;
  for (const char* type : {"fuse.sshfs", "fuse.vantrel", "ext4", ""})
    EXPECT_FALSE(FileSystemNeedsSafeNames(kFuse, type)) << type;
}

TEST(DestinationNames, TheMountTypeIsTheOneOfTheDeepestMountAboveThePath) {
  const std::string mountinfo =
      "22 1 254:1 / / rw,relatime shared:1 - ext4 /dev/vda1 rw\n"
      "40 22 0:35 / /media/usb rw,relatime shared:20 - vfat /dev/sdb1 rw,fmask=0022\n"
      "41 22 0:36 / /media/usb\\040stick rw - fuseblk /dev/sdc1 rw,user_id=0\n"
      "42 22 0:37 / /tmp rw master:3 unbindable - tmpfs tmpfs rw\n"
      "43 42 0:38 / /tmp rw - ext4 /dev/vdb rw\n"
      "broken line\n";
  EXPECT_EQ(MountTypeAt(mountinfo, "/media/usb/recovered"), "vfat");
  EXPECT_EQ(MountTypeAt(mountinfo, "/media/usb"), "vfat");
  EXPECT_EQ(MountTypeAt(mountinfo, "/media/usb stick/x"), "fuseblk");
  EXPECT_EQ(MountTypeAt(mountinfo, "/media/usbother"), "ext4");
  EXPECT_EQ(MountTypeAt(mountinfo, "/tmp/out"), "ext4");  // mounted over the tmpfs later
  EXPECT_EQ(MountTypeAt("", "/x"), "");
}

TEST(DestinationNames, ThisMachinesTemporaryFolderHoldsEveryName) {
  const test::TempDir dir;
  EXPECT_FALSE(DestinationNeedsSafeNames(dir.Path()));
  EXPECT_FALSE(DestinationNeedsSafeNames(dir / "missing"));
}

TEST(DestinationNamer, NamesAreWrittenAsTheyAreUnlessTheDestinationNeedsSafeOnes) {
  const test::TempDir dir;
  DestinationNamer exact(dir.Path(), false);
  const fs::path folder = exact.MakeFolder("Maildir/cur");
  EXPECT_EQ(folder, dir / "Maildir/cur");
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_EQ(exact.Choose(folder, "1291234567.M0P1000.mx0,S=180:2,S").name, "1291234567.M0P1000.mx0,S=180:2,S");
  EXPECT_EQ(exact.Choose(folder, "r\xe9ponse.txt").name, "r\xe9ponse.txt");
  EXPECT_EQ(exact.Choose(folder, "..").name, "__");  // never climbs out
  EXPECT_TRUE(exact.Renamed().empty());

  DestinationNamer safe(dir.Path(), true);
  EXPECT_EQ(safe.MakeFolder("dir:one"), dir / "dir_one");
  NameChoice flagged = safe.Choose(dir.Path(), "1.mx0,S=180:2,S");
  EXPECT_EQ(flagged.name, "1.mx0,S=180_2,S");
  safe.Written(dir.Path(), "1.mx0,S=180:2,S", flagged);
  EXPECT_EQ(safe.Renamed(), (std::vector<RenamedEntry>{{(dir / "dir_one").string(), "dir:one"},
                                                       {(dir / "1.mx0,S=180_2,S").string(), "1.mx0,S=180:2,S"}}));
}

TEST(DestinationNamer, ANameThatStandsAsItIsIsKeptWhenForeseenWhateverTheOrder) {
  const test::TempDir dir;
  DestinationNamer safe(dir.Path(), true);
  for (const bool kept : {false, true})
    for (const auto& [folder, name] : std::vector<std::pair<fs::path, std::string>>{
             {"", "a:b.txt"}, {"", "a?b.txt"}, {"", "a_b.txt"}, {"", "dir:one"}, {"", "dir_one"}, {"dir_one", "x"}}) {
      if (kept)
        safe.ForeseeKept(folder, name);
      else
        safe.ForeseeChanged(folder, name);
    }
  EXPECT_EQ(safe.MakeFolder("dir:one"), dir / "dir_one (2)");
  EXPECT_EQ(safe.MakeFolder("dir_one"), dir / "dir_one");
  EXPECT_EQ(safe.Choose(dir.Path(), "a:b.txt").name, "a_b (2).txt");
  EXPECT_EQ(safe.Choose(dir.Path(), "a?b.txt").name, "a_b (3).txt");
  EXPECT_EQ(safe.Choose(dir.Path(), "a_b.txt").name, "a_b.txt");
  // Below a folder that was renamed, its own names are foreseen by the folder's selection path.
  EXPECT_EQ(safe.Choose(dir / "dir_one (2)", "a_b.txt").name, "a_b.txt");
}

TEST(DestinationNamer, EntriesWhoseNamesBecomeOneAreNumberedAndOneNameTwiceIsNot) {
  const test::TempDir dir;
  DestinationNamer safe(dir.Path(), true);
  const fs::path folder = dir.Path();
  EXPECT_EQ(safe.Choose(folder, "a:b.txt").name, "a_b.txt");
  EXPECT_EQ(safe.Choose(folder, "a?b.txt").name, "a_b (2).txt");
  EXPECT_EQ(safe.Choose(folder, "a_b.txt").name, "a_b (3).txt");
  // The same name on the disk again (a deleted entry beside a live one) meets its own name.
  EXPECT_EQ(safe.Choose(folder, "a?b.txt").name, "a_b (2).txt");
  // Another folder starts afresh.
  EXPECT_EQ(safe.Choose(dir / "sub", "a?b.txt").name, "a_b.txt");
  // Folders are numbered the same way, and their files go into the folder made.
  EXPECT_EQ(safe.MakeFolder("dir:one"), dir / "dir_one");
  const fs::path second = safe.MakeFolder("dir_one/deeper");
  EXPECT_EQ(second, dir / "dir_one (2)/deeper");
  EXPECT_TRUE(fs::is_directory(second));
  EXPECT_EQ(safe.MakeFolder("dir:one"), dir / "dir_one");
}

TEST(DestinationNamer, ARefusedNameIsTriedSaferThenAsUtf8AndThenGivenUp) {
  const test::TempDir dir;
  DestinationNamer exact(dir.Path(), false);
  const std::string onDisk = "caf\xe9:menu";
  NameChoice choice = exact.Choose(dir.Path(), onDisk);
  EXPECT_EQ(choice.name, onDisk);
  ASSERT_TRUE(exact.Safer(dir.Path(), onDisk, choice));
  EXPECT_EQ(choice.name, "caf\xe9_menu");
  ASSERT_TRUE(exact.Safer(dir.Path(), onDisk, choice));
  EXPECT_EQ(choice.name, "caf__menu");
  EXPECT_FALSE(exact.Safer(dir.Path(), onDisk, choice));
  // A name with nothing to replace has no safer form.
  NameChoice plain = exact.Choose(dir.Path(), "plain.txt");
  EXPECT_FALSE(exact.Safer(dir.Path(), "plain.txt", plain));
  // Only the UTF-8 form differs: the safe step is skipped.
  NameChoice latin = exact.Choose(dir.Path(), "r\xe9ponse");
  ASSERT_TRUE(exact.Safer(dir.Path(), "r\xe9ponse", latin));
  EXPECT_EQ(latin.name, "r_ponse");
  EXPECT_EQ(latin.care, NameChoice::Utf8Safe);
}

TEST(DestinationNamer, ConvertedNamesAreWrittenDecodedAndNotListedAsRenamed) {
  const test::TempDir dir;
  DestinationNamer convert(dir.Path(), false, *NameDecoder::For("ISO-8859-1"));
  const fs::path folder = convert.MakeFolder("caf\xe9");
  EXPECT_EQ(folder, dir / "caf\xc3\xa9");
  EXPECT_TRUE(fs::is_directory(folder));
  const NameChoice choice = convert.Choose(folder, "r\xe9ponse.txt");
  EXPECT_EQ(choice.name, "r\xc3\xa9ponse.txt");
  convert.Written(folder, "r\xe9ponse.txt", choice);
  EXPECT_TRUE(convert.Renamed().empty());
}

}  // namespace
}  // namespace vantrel
