// Image bytes looked at where they lie in the page cache: the same bytes a read gives, and
// nothing where a read would have to say what failed or where holes would cost memory.

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "disk/BadSectorMap.h"
#include "disk/FileDiskSource.h"
#include "support/TempDir.h"

namespace vantrel::test {
namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

// A file of `size` bytes whose byte i is i * 7 + i / 4096 (mod 256), so that every page differs.
std::string WriteImage(const TempDir& dir, std::size_t size) {
  std::vector<char> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 4096);
  std::string path = dir / "disk.img";
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(size));
  return path;
}

std::vector<std::byte> ReadBytes(FileDiskSource& source, std::uint64_t offset, std::size_t length) {
  std::vector<std::byte> bytes(length);
  EXPECT_EQ(source.Read(offset, bytes), ReadOutcome::Ok);
  return bytes;
}

TEST(MappedBytes, AnyStretchOfAnImageIsTheBytesAReadGives) {
  TempDir dir;
  FileDiskSource source(WriteImage(dir, 3 * kMiB));
  // At a page, inside a page (a partition at sector 63) and up to the image's last byte.
  for (const auto& [offset, length] : std::vector<std::pair<std::uint64_t, std::size_t>>{
           {0, kMiB}, {63 * 512, kMiB}, {3 * kMiB - 4096 - 512, 4096 + 512}}) {
    std::optional<MappedBytes> mapped = source.Map(offset, length);
    ASSERT_TRUE(mapped) << offset;
    const auto view = mapped->Bytes();
    ASSERT_EQ(view.size(), length);
    const auto read = ReadBytes(source, offset, length);
    EXPECT_TRUE(std::equal(view.begin(), view.end(), read.begin())) << offset;
    // The view stays with the object it moves to.
    MappedBytes moved = std::move(*mapped);
    EXPECT_EQ(moved.Bytes().data(), view.data());
    EXPECT_EQ(moved.Bytes()[length - 1], read[length - 1]);
  }
}

TEST(MappedBytes, WhatOnlyAReadCanAnswerIsNotMapped) {
  TempDir dir;
  const std::string path = WriteImage(dir, 2 * kMiB);
  FileDiskSource source(path);
  EXPECT_FALSE(source.Map(2 * kMiB - 512, 1024));  // past the end: zeros come from Read
  EXPECT_FALSE(source.Map(0, 0));

  // A ddrescue map's bad area fails a read, which the caller must hear of.
  const auto map = BadSectorMap::Parse("0x00000000 + 1\n0x00000000 0x00100000 +\n0x00100000 0x00100000 -\n", nullptr);
  ASSERT_TRUE(map);
  FileDiskSource mapped(path, map);
  EXPECT_TRUE(mapped.Map(0, kMiB));
  EXPECT_FALSE(mapped.Map(kMiB - 512, 1024));

  // Holes of a sparse image: a read gives their zeros without taking memory.
  const std::string sparse = dir / "sparse.img";
  const int fd = ::open(sparse.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  const std::vector<char> page(4096, 'x');
  ASSERT_EQ(::pwrite(fd, page.data(), page.size(), 0), 4096);
  ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(64 * kMiB)), 0);
  const bool holesShown = ::lseek(fd, 0, SEEK_HOLE) == 4096;
  ::close(fd);
  FileDiskSource missing("/nonexistent/disk.img");
  EXPECT_FALSE(missing.Map(0, 4096));
  if (!holesShown) GTEST_SKIP() << "the temporary folder's file system does not show holes";
  FileDiskSource holes(sparse);
  EXPECT_TRUE(holes.Map(0, 4096));
  EXPECT_FALSE(holes.Map(0, kMiB));
  EXPECT_FALSE(holes.Map(32 * kMiB, kMiB));
}

}  // namespace
}  // namespace vantrel::test
