#include "app/ActivityLog.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace vantrel {

namespace {

constexpr const char* kActivityLogName = "rtDebugTest.txt";

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The program folder that `cmake --install` fills; the build names it.
bool IsInstalledProgramFolder(const std::string& folder) {
#ifdef VANTREL_INSTALLED_PROGRAM_FOLDER
  std::error_code error;
  return std::filesystem::equivalent(folder, VANTREL_INSTALLED_PROGRAM_FOLDER, error);
#else
  (void)folder;
  return false;
#endif
}

bool UserCanWriteIn(const std::string& folder) { return !folder.empty() && ::access(folder.c_str(), W_OK) == 0; }

}  // namespace

std::string UserStateFolder() {
  std::string stateHome = Environment("XDG_STATE_HOME");
  // Relative values are to be ignored, as for every XDG base folder.
  if (stateHome.empty() || stateHome.front() != '/') {
    const std::string home = Environment("HOME");
    if (home.empty()) return {};
    stateHome = home + "/.local/state";
  }
  return stateHome + "/vantrel";
}

std::string ActivityLogPath(const std::string& programFolder) {
  const std::string inProgramFolder = programFolder + "/" + kActivityLogName;
  if (UserCanWriteIn(programFolder) && !IsInstalledProgramFolder(programFolder)) return inProgramFolder;
  const std::string stateFolder = UserStateFolder();
  std::error_code error;
  if (stateFolder.empty()) return inProgramFolder;
  std::filesystem::create_directories(stateFolder, error);
  if (error) return inProgramFolder;
  return stateFolder + "/" + kActivityLogName;
}

bool AppendActivityLog(const std::string& path, const std::string& text) {
  if (path.empty()) return false;
  std::ofstream out(path, std::ios::binary | std::ios::app);
  if (!out) return false;
  out << text;
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace vantrel
