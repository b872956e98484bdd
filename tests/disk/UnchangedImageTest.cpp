// The guard that tests put on the images they read: it must see a write, even one that
// keeps the file's size and puts its modification time back, and must not see a mere read.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <sys/time.h>

#include <fstream>

#include "support/TempDir.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

TEST(UnchangedImage, SeesAWriteThatKeepsTheSizeAndTheModificationTime) {
  TempDir dir;
  const std::string path = (dir / "disk.img").string();
  WriteFile(path, std::string(4096, 'a'));
  const UnchangedImage image(path);
  EXPECT_EQ(image.Path(), path);
  std::string read;
  std::ifstream(path) >> read;
  EXPECT_TRUE(image.Unchanged());

  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  {
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(100);
    file.put('b');
  }
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  EXPECT_FALSE(image.Unchanged());

  // Put back byte for byte, the image is what it was, whatever its times say.
  {
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(100);
    file.put('a');
  }
  EXPECT_TRUE(image.Unchanged());
}

TEST(UnchangedImage, FailsTheTestWhenTheImageWasWrittenByTheTimeItGoes) {
  TempDir dir;
  // The statement checked for a failure may only see static variables.
  static std::string path;
  path = (dir / "disk.img").string();
  WriteFile(path, "before");
  EXPECT_NONFATAL_FAILURE(
      {
        const UnchangedImage image(path);
        WriteFile(path, "after!");
      },
      "was written to");
}

}  // namespace
}  // namespace vantrel::test
