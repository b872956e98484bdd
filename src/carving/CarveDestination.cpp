#include "carving/CarveDestination.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace vantrel {

namespace {

// Whether files can be created in folder. The probe gets a name no file there has yet, so
// that no file of the user's is ever replaced or removed by it.
bool CanCreateFilesIn(const std::string& folder) {
  std::string probe = (std::filesystem::path(folder) / "tempFileXXXXXX").string();
  const int fd = ::mkstemp(probe.data());
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

}  // namespace

bool DestinationUsable(const std::string& folder) {
  if (CanCreateFilesIn(folder)) return true;
  ::mkdir(folder.c_str(), 0777);
  // An existing folder that refuses files would fail every carve: it counts as unusable.
  return std::filesystem::is_directory(folder) && CanCreateFilesIn(folder);
}

}  // namespace vantrel
