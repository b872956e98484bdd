#include "logs/ListingFile.h"

#include <fcntl.h>
#include <unistd.h>

#include "base/FdOutput.h"

namespace vantrel {

bool WriteListingStream(const std::string& path, const std::function<void(std::ostream&)>& write) {
  if (path.empty()) return false;
  ::unlink(path.c_str());
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  FdOutput out(fd);
  write(out);
  return out.Close();
}

bool WriteListingText(const std::string& path, const std::string& text) {
  return WriteListingStream(path, [&](std::ostream& out) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
  });
}

}  // namespace vantrel
