// Where the activity log is kept: the program folder of a build, else the user's state folder.

#include "app/ActivityLog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "support/TempDir.h"

namespace vantrel::test {
namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) ::setenv(name, value->c_str(), 1);
    else ::unsetenv(name);
  }
  ~ScopedEnvironment() {
    if (old_) ::setenv(name_, old_->c_str(), 1);
    else ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(ActivityLog, AWritableProgramFolderOfABuildKeepsIt) {
  TempDir programFolder;
  TempDir state;
  ScopedEnvironment stateHome("XDG_STATE_HOME", state.Path().string());
  EXPECT_EQ(ActivityLogPath(programFolder.Path().string()), (programFolder / "rtDebugTest.txt").string());
  EXPECT_FALSE(std::filesystem::exists(state / "vantrel"));
}

TEST(ActivityLog, AProgramFolderTheUserCannotWriteSendsItToTheStateFolder) {
  TempDir state;
  ScopedEnvironment stateHome("XDG_STATE_HOME", state.Path().string());
  const std::string path = ActivityLogPath("/nonexistent/share/vantrel");
  EXPECT_EQ(path, (state / "vantrel" / "rtDebugTest.txt").string());
  EXPECT_TRUE(AppendActivityLog(path, "Disk0\r\n"));
  EXPECT_TRUE(AppendActivityLog(path, "QUICK\r\n"));
  std::ifstream in(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "Disk0\r\nQUICK\r\n");
}

TEST(ActivityLog, StateFolderDefaultsToTheHomesLocalStateAndIgnoresARelativeSetting) {
  TempDir home;
  ScopedEnvironment homeVariable("HOME", home.Path().string());
  for (const std::optional<std::string>& stateHome : {std::optional<std::string>(), std::optional<std::string>(""),
                                                     std::optional<std::string>("relative/state")}) {
    ScopedEnvironment stateVariable("XDG_STATE_HOME", stateHome);
    EXPECT_EQ(ActivityLogPath("/nonexistent"), (home / ".local/state/vantrel/rtDebugTest.txt").string());
  }
  ScopedEnvironment stateVariable("XDG_STATE_HOME", std::nullopt);
  ScopedEnvironment noHome("HOME", std::nullopt);
  EXPECT_EQ(UserStateFolder(), "");
}

}  // namespace
}  // namespace vantrel::test
