// Windows read ahead on a helper thread give the bytes and the prompts of plain reads.

#include <gtest/gtest.h>

#include "carving/RawTestSupport.h"
#include "carving/WindowReader.h"
#include "carving/WindowScan.h"

namespace vantrel::test {
namespace {

using namespace std::string_literals;

TEST(WindowReader, GivesEachWindowsBytesAndAsksAboutBadSectorsPerReadOfTheWindow) {
  TestWizard wizard;
  MemoryDiskSource& disk = wizard.UseMemoryDisk(3 * kWindowSectors);
  for (std::uint64_t sector = 0; sector < 3 * kWindowSectors; ++sector)
    Put(disk, sector * 512, "sector " + std::to_string(sector));
  disk.FailSector(900);
  for (int i = 0; i < 3; ++i) wizard.answers.AddBadSector(BadSectorAnswer::Skip);
  WindowReader reader(wizard.state.disks.reader, wizard.state.disks.currentIndex);

  const auto textAt = [](ByteSpan window, std::uint64_t sector) {
    return std::string(reinterpret_cast<const char*>(window.data()) + sector * 512, 11);
  };
  EXPECT_EQ(textAt(reader.Read(0, 800), 799), "sector 799\0"s);
  ByteSpan second = reader.Read(800, 1600);
  EXPECT_EQ(wizard.window.BadSectorPrompts(), 1);
  EXPECT_EQ(textAt(second, 0), "sector 800\0"s);
  EXPECT_EQ(textAt(second, 100), std::string(11, '\0'));  // the skipped request reads as zeros
  // Read again, as a window is after a pending carve ended in it: asked about again.
  second = reader.Read(800, 1600);
  EXPECT_EQ(wizard.window.BadSectorPrompts(), 2);
  EXPECT_EQ(textAt(second, 120), "sector 920\0"s);
  EXPECT_EQ(textAt(reader.Read(1600, std::nullopt), 0), "sector 1600"s);
  EXPECT_EQ(textAt(reader.Read(1600, std::nullopt), 5), "sector 1605"s);
  EXPECT_EQ(wizard.window.BadSectorPrompts(), 2);
}

}  // namespace
}  // namespace vantrel::test
