// An allocation failure met while carving ends the run where it is: a file being carved is
// removed, and every file left in the destination is whole.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/RawRecoveryPanel.h"
#include "carving/RawTestSupport.h"
#include "support/AllocationFailingDisk.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

TEST(OutOfMemoryWhileCarving, EveryFailurePointLeavesOnlyWholeFilesAndNotTheOneBeingWritten) {
  TestWizard wizard;
  const std::string image = CarveFixtureImage("carve-mixed");
  wizard.UseImages({image});
  wizard.state.disks.names.Clear();
  auto failing = std::make_unique<AllocationFailingDisk>(image);
  AllocationFailingDisk& disk = *failing;
  wizard.state.disks.currentIndex = static_cast<std::uint16_t>(
      wizard.state.disks.names.Add({image, {}, std::move(failing)}));

  TempDir whole;
  disk.FailAt(0, 0);
  ASSERT_TRUE(Carve(wizard, {.destination = whole.Path()}));
  const std::vector<CarvedFile> files = wizard.state.rawRecovery.report.files;
  ASSERT_GE(files.size(), 2u);
  // Inside the second file, past its header.
  const CarvedFile& victim = files[1];
  const std::uint64_t byte = (victim.startSector + 2) * 512 + 7;
  ASSERT_LT(byte, (victim.endSector + 1) * 512);
  disk.FailAt(byte, 0);
  TempDir counted;
  ASSERT_TRUE(Carve(wizard, {.destination = counted.Path()}));
  const int reads = disk.ReadsSeen();
  ASSERT_GE(reads, 1);

  for (int n = 1; n <= reads; ++n) {
    TempDir out;
    disk.FailAt(byte, n);
    EXPECT_THROW(Carve(wizard, {.destination = out.Path()}), std::bad_alloc);
    for (const auto& entry : fs::directory_iterator(out.Path()))
      EXPECT_EQ(FileBytes(entry.path()), FileBytes(whole.Path() / entry.path().filename()))
          << entry.path() << " after a failure at read " << n;
    EXPECT_FALSE(fs::exists(out.Path() / fs::path(victim.path).filename()));
    LeaveRawPanelIdle(wizard.state);
  }
}

}  // namespace
}  // namespace vantrel::test
