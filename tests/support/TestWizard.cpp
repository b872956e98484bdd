#include "support/TestWizard.h"

#include "disk/DiskEnumeration.h"
#include "reiserfs/PartitionTable.h"

namespace vantrel::test {

TestWizard::TestWizard() {
  state.mainWindow = &window;
  window.RecordTextHistory(true);
}

void TestWizard::UseImages(const std::vector<std::string>& paths) {
  std::vector<NamedDisk> disks;
  for (const auto& path : paths) disks.push_back({path, {}});
  EnumerateDisks(state, disks);
  ReplacePartitionTree(state);
}

MemoryDiskSource& TestWizard::UseMemoryDisk(std::size_t sectors) {
  auto source = std::make_unique<MemoryDiskSource>(sectors);
  MemoryDiskSource& disk = *source;
  const int n = state.diskNames.Add({"memory", {}, std::move(source)});
  const std::string name = DiskNameTable::DiskName(static_cast<std::size_t>(n));
  state.diskInfo.Write(diskinfo::kSizeKey, name, std::to_string(sectors * kSectorSize));
  state.CurrentDiskIndex = static_cast<std::uint16_t>(n);
  ReplacePartitionTree(state);
  return disk;
}

}  // namespace vantrel::test
