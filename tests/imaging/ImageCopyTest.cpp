// Raw images of a disk: every byte as it reads, zeros left as holes in a file, unreadable
// sectors as zeros under the bad-sector policy, and a ddrescue mapfile that says which.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "disk/BadSectorMap.h"
#include "imaging/DdrescueMapfile.h"
#include "imaging/ImageCopy.h"
#include "support/MemoryDiskSource.h"
#include "support/TempDir.h"

namespace vantrel::test {
namespace {

constexpr std::uint64_t kSectors = 20000;  // more than two reads of the copy, and a part of a third

class AnswerAlways : public BadSectorPrompt {
 public:
  explicit AnswerAlways(BadSectorPolicy answer) : answer_(answer) {}
  BadSectorPolicy AskBadSector(const BadSectorQuestion&) override { return answer_; }

 private:
  BadSectorPolicy answer_;
};

struct Disk {
  explicit Disk(BadSectorPolicy answer = BadSectorPolicy::RetryAll) : prompt(answer) {
    auto owned = std::make_unique<MemoryDiskSource>(kSectors);
    memory = owned.get();
    names.Add({"memory", {}, std::move(owned), {}});
    // Data everywhere but sectors 600 to 1199 and the last 300.
    for (std::uint64_t s = 0; s < kSectors; ++s)
      if (s < 600 || (s >= 1200 && s < kSectors - 300))
        std::fill(memory->Sector(s).begin(), memory->Sector(s).end(), static_cast<std::byte>(s % 251 + 1));
  }
  std::string Bytes(std::uint64_t first, std::uint64_t count) {
    std::string bytes(count * kSectorSize, '\0');
    memory->Read(first * kSectorSize, std::as_writable_bytes(std::span(bytes.data(), bytes.size())));
    return bytes;
  }

  AnswerAlways prompt;
  DiskNameTable names;
  SectorReader reader{names, &prompt};
  DiskReader disk{reader, 0};
  MemoryDiskSource* memory = nullptr;
};

std::string FileText(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

ImageReport CopyTo(Disk& disk, const std::filesystem::path& path, bool sparse, std::uint64_t first, std::uint64_t count,
                   const StopToken& stop = {}) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ImageReport report = CopyDiskImage(disk.disk, first, count, {fd, sparse}, nullptr, stop);
  ::close(fd);
  return report;
}

TEST(ImageCopy, EveryByteArrivesAndZerosBecomeHolesOnlyInASparseFile) {
  Disk disk;
  const TempDir dir;
  const ImageReport sparse = CopyTo(disk, dir / "sparse.img", true, 0, kSectors);
  EXPECT_EQ(FileText(dir / "sparse.img"), disk.Bytes(0, kSectors));
  EXPECT_EQ(sparse.doneBytes, kSectors * kSectorSize);
  // The zero stretch holds four whole 64 KiB blocks; the trailing zeros make the length.
  EXPECT_GE(sparse.holeBytes, 4u * 65536);
  struct stat info {};
  ASSERT_EQ(::stat((dir / "sparse.img").c_str(), &info), 0);
  EXPECT_LT(static_cast<std::uint64_t>(info.st_blocks) * 512, kSectors * kSectorSize - std::uint64_t{4} * 65536);
  EXPECT_TRUE(sparse.unread.empty());

  // Anything else (a pipe, a device) gets every byte; a range starts where it is asked to.
  const ImageReport full = CopyTo(disk, dir / "full.img", false, 100, 2000);
  EXPECT_EQ(FileText(dir / "full.img"), disk.Bytes(100, 2000));
  EXPECT_EQ(full.holeBytes, 0u);
}

TEST(ImageCopy, UnreadableSectorsAreZerosAndBadInTheMapfileThatDdrescueReads) {
  Disk disk;
  for (const std::uint64_t s : {1000, 1001, 3000}) disk.memory->FailSector(s);
  const TempDir dir;
  const ImageReport report = CopyTo(disk, dir / "disk.img", true, 0, kSectors);
  ASSERT_EQ(report.unread.size(), 2u);
  const std::string image = FileText(dir / "disk.img");
  EXPECT_EQ(image.substr(std::size_t{1000} * kSectorSize, std::size_t{2} * kSectorSize),
            std::string(std::size_t{2} * kSectorSize, '\0'));
  EXPECT_EQ(image.substr(std::size_t{1002} * kSectorSize, kSectorSize), disk.Bytes(1002, 1));

  std::string error;
  const auto map = BadSectorMap::Parse(DdrescueMapfileText(report, "vantrel-cli image"), &error);
  ASSERT_TRUE(map) << error;
  using Area = std::pair<std::uint64_t, std::uint64_t>;
  EXPECT_EQ(map->BadAreas(),
            (std::vector<Area>{{1000 * kSectorSize, 1002 * kSectorSize}, {3000 * kSectorSize, 3001 * kSectorSize}}));

  // Skipped, a failed read is not read again: all of it is zeros and bad.
  Disk skipping(BadSectorPolicy::SkipAll);
  skipping.memory->FailSector(1000);
  const ImageReport skipped = CopyTo(skipping, dir / "skipped.img", true, 0, kSectors);
  ASSERT_EQ(skipped.unread.size(), 1u);
  EXPECT_EQ(skipped.unread[0].offset, 0u);
  EXPECT_EQ(skipped.unread[0].length, kImageReadBytes);
}

TEST(ImageCopy, AStoppedCopyLeavesTheRestUntriedInTheMapfile) {
  Disk disk;
  std::atomic<int> stop = 1;
  const TempDir dir;
  const ImageReport report = CopyTo(disk, dir / "stopped.img", true, 0, kSectors, StopToken(stop));
  EXPECT_TRUE(report.stopped);
  EXPECT_EQ(report.doneBytes, 0u);
  const std::string text = DdrescueMapfileText(report, "vantrel-cli image");
  EXPECT_NE(text.find("0x00000000     ?               1\n"), std::string::npos) << text;
  EXPECT_NE(text.find("0x00000000  0x009C4000  ?\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace vantrel::test
