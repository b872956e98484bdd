// Listing a folder puts the contents of its small files into the kernel's page cache before
// anything reads them; large files are left to be read on demand.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "MountedImage.h"
#include "support/Fixtures.h"
#include "support/Sha256.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

// Whether the first page of the file is in the page cache; the file is mapped, not read.
bool FirstPageCached(const fs::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  void* map = ::mmap(nullptr, 4096, PROT_READ, MAP_SHARED, fd, 0);
  ::close(fd);
  if (map == MAP_FAILED) return false;
  unsigned char resident = 0;
  const bool cached = ::mincore(map, 4096, &resident) == 0 && (resident & 1) != 0;
  ::munmap(map, 4096);
  return cached;
}

TEST(PageCacheFill, ListingAFolderCachesItsSmallFilesAheadOfReads) {
  std::string why;
  if (!FuseAvailable(&why)) GTEST_SKIP() << why;
  MountedImage mounted("--disk " + Quoted(FixtureImage("mbr-mixed")), "");
  ASSERT_TRUE(mounted.Mounted()) << mounted.Run().err;
  const fs::path small = mounted / "sizes/size-4096.bin";
  const fs::path large = mounted / "sizes/size-300000.bin";
  ASSERT_TRUE(fs::exists(large)) << "the fixture's large file moved";
  EXPECT_FALSE(FirstPageCached(small));  // looked up, not listed yet
  for (const auto& entry : fs::directory_iterator(mounted / "sizes")) (void)entry;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!FirstPageCached(small) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(FirstPageCached(small));
  EXPECT_FALSE(FirstPageCached(large));
  // What the cache holds is the file.
  const nlohmann::json partition = ManifestPartition(FixtureManifest("mbr-mixed"), 1);
  for (const auto& entry : partition["entries"]) {
    if (entry["path"] == "sizes/size-4096.bin") {
      EXPECT_EQ(Sha256OfFile(small.string()), entry["sha256"]);
    }
  }
}

}  // namespace
}  // namespace vantrel::test
