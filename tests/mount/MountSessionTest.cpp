// A catalogue served from threads of the test's own process, as the window serves Browse:
// readable while it runs, and stopped at once even while files and folders of it are still
// open, which then fail instead of waiting on a server that is gone.

#include "mount/MountSession.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "MountedImage.h"
#include "disk/DiskEnumeration.h"
#include "mount/ServedVolume.h"
#include "reiserfs/build/QuickCatalogueBuild.h"
#include "support/Fixtures.h"
#include "support/Sha256.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

class MountSessionTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    if (!FuseAvailable(&why)) GTEST_SKIP() << why;
    OpenDisks(names_, info_, {{FixtureImage("mbr-mixed"), {}}});
    fs::create_directory(mountpoint_);
  }
  std::unique_ptr<mount::MountedVolume> Volume() {
    const DiskReader disk(reader_, 0);
    const PartitionSource partition{disk, 2048, ReadPartitionSuperblock(disk, 2048)};
    SilentBuildStatus silent;
    return mount::MakeServedVolume(partition, BuildQuickCatalogue(partition, StopToken(), silent), BodySource::Tree,
                                   false);
  }

  DiskNameTable names_;
  DiskInfoStore info_;
  SectorReader reader_{names_};
  TempDir dir_;
  fs::path mountpoint_ = dir_ / "mnt";
};

TEST_F(MountSessionTest, ServesUntilStoppedEvenWithFilesStillOpen) {
  mount::MountSession session;
  std::string why;
  ASSERT_TRUE(session.Start(Volume(), mountpoint_.string(), "vantrel-test", why)) << why;
  EXPECT_TRUE(IsMountPoint(mountpoint_));
  // A second mount from the same session is refused, the first one untouched.
  EXPECT_FALSE(session.Start(Volume(), (dir_ / "other").string(), "vantrel-test", why));
  EXPECT_FALSE(why.empty());

  // A file manager holding a file and a folder open does not keep the session alive; the
  // file is never read before, so that its reads must reach the server.
  const int file = ::open((mountpoint_ / "sizes/size-4096.bin").c_str(), O_RDONLY);
  DIR* folder = ::opendir((mountpoint_ / "sizes").c_str());
  ASSERT_GE(file, 0);
  ASSERT_NE(folder, nullptr);

  const nlohmann::json partition = ManifestPartition(FixtureManifest("mbr-mixed"), 1);
  std::size_t compared = 0;
  for (const auto& entry : partition["entries"]) {
    if (entry["kind"] != "file" || entry["path"] == "sizes/size-4096.bin") continue;
    const auto bytes = ReadWhole(mountpoint_ / entry["path"].get<std::string>());
    ASSERT_TRUE(bytes) << entry["path"];
    EXPECT_EQ(Sha256Of(*bytes), entry["sha256"].get<std::string>()) << entry["path"];
    ++compared;
  }
  EXPECT_GT(compared, 10u);

  session.Stop();
  EXPECT_FALSE(session.Running());
  EXPECT_FALSE(IsMountPoint(mountpoint_));
  char byte = 0;
  EXPECT_LT(::pread(file, &byte, 1, 100), 0);
  ::close(file);
  ::closedir(folder);
  session.Stop();  // twice: nothing more to do

  // The folder can be mounted on again.
  ASSERT_TRUE(session.Start(Volume(), mountpoint_.string(), "vantrel-test", why)) << why;
  EXPECT_EQ(ReadWhole(mountpoint_ / "sizes/size-4096.bin").value_or("").size(), 4096u);
}

TEST_F(MountSessionTest, AFolderThatCannotBeMountedOnIsRefusedWithAReason) {
  mount::MountSession session;
  std::string why;
  EXPECT_FALSE(session.Start(Volume(), (dir_ / "missing").string(), "vantrel-test", why));
  EXPECT_NE(why.find("cannot mount"), std::string::npos) << why;
  EXPECT_FALSE(session.Running());
}

}  // namespace
}  // namespace vantrel::test
