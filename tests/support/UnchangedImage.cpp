#include "support/UnchangedImage.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>

#include "support/Fixtures.h"
#include "support/Sha256.h"

namespace vantrel::test {

namespace {

struct stat StatusOf(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) status = {};
  return status;
}

// Any write to the file changes its size, its modification time or its status-change time
// (which no one can set back), so a file whose status is the same has the same bytes.
bool SameStatus(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
         a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// Checksums already taken in this process, with the status they were taken at: most tests
// open the same few images, which are then hashed once.
struct Known {
  struct stat status;
  std::string sha256;
};
std::mutex knownMutex;
std::map<std::string, Known> known;

std::string ChecksumAt(const std::string& path, const struct stat& status) {
  {
    std::lock_guard lock(knownMutex);
    if (const auto it = known.find(path); it != known.end() && SameStatus(it->second.status, status))
      return it->second.sha256;
  }
  std::string sha256 = Sha256OfFile(path);
  std::lock_guard lock(knownMutex);
  known[path] = {status, sha256};
  return sha256;
}

}  // namespace

UnchangedImage::UnchangedImage(std::string path)
    : path_(std::move(path)), status_(StatusOf(path_)), sha256_(ChecksumAt(path_, status_)) {}

UnchangedImage::~UnchangedImage() { EXPECT_TRUE(Unchanged()) << "the disk image " << path_ << " was written to"; }

bool UnchangedImage::Unchanged() const {
  const struct stat now = StatusOf(path_);
  if (SameStatus(now, status_)) return !sha256_.empty();
  return ChecksumAt(path_, now) == sha256_;
}

UnchangedFixtures::UnchangedFixtures(std::initializer_list<std::string> names) {
  for (const std::string& name : names) images_.push_back(std::make_unique<UnchangedImage>(FixtureImage(name)));
}

}  // namespace vantrel::test
