// A mount in the foreground, on a folder named relative to where it was started, ends
// cleanly on Ctrl-C: unmounted, exit status 0.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "MountedImage.h"
#include "support/Fixtures.h"
#include "support/UnchangedImage.h"

extern char** environ;

namespace vantrel::test {
namespace {

TEST(ForegroundMount, CtrlCUnmountsAndEndsCleanly) {
  const UnchangedFixtures unchanged{"mbr-mixed"};
  std::string why;
  if (!FuseAvailable(&why)) GTEST_SKIP() << why;
  TempDir dir;
  const std::filesystem::path mountpoint = dir / "mnt";
  std::filesystem::create_directory(mountpoint);
  const std::string image = FixtureImage("mbr-mixed");
  std::vector<std::string> words{VANTREL_CLI_PATH, "--disk", image, "mount", "--foreground", "mnt"};
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, dir.Path().c_str());
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  ASSERT_EQ(::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!IsMountPoint(mountpoint) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  const bool mounted = IsMountPoint(mountpoint);
  const bool readable = mounted && ReadWhole(mountpoint / "sizes/size-4096.bin").value_or("").size() == 4096;
  ::kill(pid, SIGINT);
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  if (IsMountPoint(mountpoint)) std::system(("fusermount3 -u " + Quoted(mountpoint.string())).c_str());
  EXPECT_TRUE(mounted);
  EXPECT_TRUE(readable);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(IsMountPoint(mountpoint));
}

}  // namespace
}  // namespace vantrel::test
