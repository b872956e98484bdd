#include "app/DesktopOpener.h"

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace vantrel {

bool LaunchDesktopOpener(const std::string& path) {
  std::string program = "xdg-open";
  std::string argument = path;
  char* argv[] = {program.data(), argument.data(), nullptr};
  pid_t child = 0;
  if (::posix_spawnp(&child, "xdg-open", nullptr, nullptr, argv, environ) != 0) return false;
  // xdg-open hands the file on and returns at once; reap it so that no zombie is left.
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace vantrel
