// A disk the user may not open: the installed opener is asked for block devices only, and
// without one the reason tells the user how to get access. Each case runs in a child process
// that has given up root, beside a block device node only root may read.

#include "disk/DeviceOpener.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "disk/FileDiskSource.h"
#include "support/TempDir.h"

namespace vantrel::test {
namespace {

constexpr uid_t kNobody = 65534;

class DeviceOpenerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to make a device node and give up root";
    ::chmod(dir_.Path().c_str(), 0755);
    device_ = (dir_ / "disk").string();
    if (::mknod(device_.c_str(), S_IFBLK | 0600, makedev(7, 0)) != 0) GTEST_SKIP() << "cannot make a device node here";
    image_ = (dir_ / "image.img").string();
    std::ofstream(image_) << std::string(4096, 'R');
    ::chmod(image_.c_str(), 0644);
    unreadable_ = (dir_ / "private.img").string();
    std::ofstream(unreadable_) << std::string(512, 'P');
    ::chmod(unreadable_.c_str(), 0600);
  }

  // Runs check as the user nobody in a child process; true when it returned true.
  static bool AsOrdinaryUser(const std::function<bool()>& check) {
    const pid_t child = ::fork();
    if (child == 0) {
      const bool dropped = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
      ::_exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

  static bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

  TempDir dir_;
  std::string device_;
  std::string image_;
  std::string unreadable_;
};

TEST_F(DeviceOpenerTest, WithoutAnOpenerTheReasonSaysHowToGetAccess) {
  EXPECT_TRUE(AsOrdinaryUser([&] {
    SetDeviceOpener({});
    FileDiskSource disk(device_);
    const std::string why = disk.OpenError();
    return !disk.Size() && Contains(why, "Permission denied") && Contains(why, kDiskAccessHint);
  }));
}

TEST_F(DeviceOpenerTest, TheOpenersDescriptorIsReadForADeniedBlockDevice) {
  EXPECT_TRUE(AsOrdinaryUser([&] {
    std::string asked;
    SetDeviceOpener([&](const std::string& path, std::string*) {
      asked = path;
      return ::open(image_.c_str(), O_RDONLY | O_CLOEXEC);
    });
    FileDiskSource disk(device_);
    std::string sector(512, '\0');
    const bool read = disk.Size() == 4096u &&
                      disk.Read(512, std::as_writable_bytes(std::span(sector.data(), sector.size()))) ==
                          ReadOutcome::Ok;
    return asked == device_ && read && sector == std::string(512, 'R') && disk.OpenError().empty();
  }));
}

TEST_F(DeviceOpenerTest, AFailingOpenerGivesItsReasonAndFilesNeverAskIt) {
  EXPECT_TRUE(AsOrdinaryUser([&] {
    int calls = 0;
    SetDeviceOpener([&](const std::string&, std::string* why) {
      ++calls;
      *why = "not authorized";
      return -1;
    });
    FileDiskSource device(device_);
    const bool deviceRefused = !device.Size() && Contains(device.OpenError(), "not authorized");
    FileDiskSource file(unreadable_);
    const bool fileRefused = !file.Size() && Contains(file.OpenError(), "Permission denied");
    return deviceRefused && fileRefused && calls == 1;
  }));
}

}  // namespace
}  // namespace vantrel::test
