#pragma once
// The checksum of a disk image, taken when the guard is made and compared when it goes: a
// test that reads an image says in one line that nothing wrote to it,
//   const UnchangedImage image(FixtureImage("mbr-mixed"));
// and uses the guard where the image's path is wanted.

#include <sys/stat.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace vantrel::test {

class UnchangedImage {
 public:
  explicit UnchangedImage(std::string path);
  // Fails the running test when the image no longer has its checksum.
  ~UnchangedImage();
  UnchangedImage(const UnchangedImage&) = delete;
  UnchangedImage& operator=(const UnchangedImage&) = delete;

  const std::string& Path() const { return path_; }
  operator const std::string&() const { return path_; }
  const std::string& Sha256() const { return sha256_; }
  // True while the image has the checksum it had when the guard was made. The file's
  // status (size, times, inode) decides when it shows no change at all; otherwise the
  // bytes are hashed again.
  bool Unchanged() const;

 private:
  std::string path_;
  struct stat status_ {};
  std::string sha256_;
};

// The same for fixture images by name (tests/data/NAME.img.zst), for tests that hand their
// images to the console program by name:
//   const UnchangedFixtures unchanged{"deleted", "reformatted"};
class UnchangedFixtures {
 public:
  UnchangedFixtures(std::initializer_list<std::string> names);

 private:
  std::vector<std::unique_ptr<UnchangedImage>> images_;
};

}  // namespace vantrel::test
