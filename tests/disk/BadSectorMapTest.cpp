// ddrescue mapfiles: parsing, and images whose unfinished areas read as bad sectors.

#include <gtest/gtest.h>

#include <fstream>

#include "disk/BadSectorMap.h"
#include "disk/FileDiskSource.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

constexpr const char* kMapfile =
    "# Mapfile. Created by GNU ddrescue version 1.27\n"
    "# Command line: ddrescue /dev/sdb disk.img disk.map\n"
    "# current_pos  current_status  current_pass\n"
    "0x00002000     +               1\n"
    "#      pos        size  status\n"
    "0x00000000  0x00001400  +\n"
    "0x00001400  0x00000200  -\n"
    "0x00001600  0x00000A00  +\n"
    "0x00002000  0x00000400  *\n"
    "0x00002400  0x00001C00  +\n"
    "0x00004400  0x00000200  +\n";  // 0x4000-0x4400 is missing: never tried

TEST(BadSectorMap, UnfinishedBlocksAndGapsAreBad) {
  std::string error;
  const auto map = BadSectorMap::Parse(kMapfile, &error);
  ASSERT_TRUE(map) << error;
  using Area = std::pair<std::uint64_t, std::uint64_t>;
  EXPECT_EQ(map->BadAreas(), (std::vector<Area>{{0x1400, 0x1600}, {0x2000, 0x2400}, {0x4000, 0x4400}}));
  EXPECT_FALSE(map->Touches(0x1200, 0x200));
  EXPECT_TRUE(map->Touches(0x1200, 0x201));
  EXPECT_TRUE(map->Touches(0x15FF, 1));
  EXPECT_FALSE(map->Touches(0x1600, 0xA00));
  EXPECT_TRUE(map->Touches(0, 0x100000));
  EXPECT_FALSE(map->Touches(0x4600, 0x1000));  // beyond the map: past the imaged disk
}

TEST(BadSectorMap, MalformedLinesAreRefusedWithTheirNumber) {
  std::string error;
  EXPECT_FALSE(BadSectorMap::Parse("# only comments\n", &error));
  EXPECT_FALSE(BadSectorMap::Parse("0x0 +\n0x0 0x200 x\n", &error));
  EXPECT_NE(error.find("line 2"), std::string::npos);
  EXPECT_FALSE(BadSectorMap::Parse("0x0 +\n0x0 zz +\n", &error));
  EXPECT_FALSE(BadSectorMap::Parse("0x0 +\n0xFFFFFFFFFFFFFF00 0x200 +\n", &error));
}

TEST(BadSectorMap, ImageReadsFailOnlyWhereTheMapSaysSo) {
  const UnchangedFixtures unchanged{"mbr-mixed"};
  TempDir dir;
  const std::string image = FixtureImage("mbr-mixed");
  FileDiskSource source(image, BadSectorMap::Parse(kMapfile, nullptr));
  std::array<std::byte, 512> buffer{};
  buffer.fill(std::byte{0xEE});
  EXPECT_EQ(source.Read(0x1400, buffer), ReadOutcome::Failed);
  EXPECT_EQ(buffer[0], std::byte{0xEE});  // nothing transferred
  EXPECT_EQ(source.Read(0x1600, buffer), ReadOutcome::Ok);
  EXPECT_EQ(source.Size(), std::optional<std::uint64_t>(64ull << 20));
}

TEST(FileDiskSource, ReadsPastTheEndAreZerosAndMissingFilesCannotOpen) {
  const UnchangedFixtures unchanged{"bare-36"};
  FileDiskSource source(FixtureImage("bare-36"));
  std::array<std::byte, 1024> buffer{};
  buffer.fill(std::byte{0xEE});
  const std::uint64_t size = *source.Size();
  EXPECT_EQ(source.Read(size - 512, buffer), ReadOutcome::Ok);
  EXPECT_EQ(buffer[600], std::byte{0});

  FileDiskSource missing("/nonexistent/disk.img");
  EXPECT_EQ(missing.Read(0, buffer), ReadOutcome::CannotOpen);
  EXPECT_NE(missing.OpenError().find("No such file"), std::string::npos);
  TempDir dir;
  FileDiskSource folder(dir.Path().string());
  EXPECT_EQ(folder.Read(0, buffer), ReadOutcome::CannotOpen);
  EXPECT_NE(folder.OpenError().find("neither"), std::string::npos);
}

}  // namespace
}  // namespace vantrel::test
