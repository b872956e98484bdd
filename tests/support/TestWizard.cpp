#include "support/TestWizard.h"

#include "app/FolderTree.h"
#include "app/DiskList.h"
#include "app/CatalogueBuildCommands.h"
#include "support/Fixtures.h"
#include "app/PartitionList.h"

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

nlohmann::json TestWizard::BuildFixtureCatalogue(const std::string& image, int linuxIndex, bool advanced) {
  const nlohmann::json partition = ManifestPartition(FixtureManifest(image), linuxIndex);
  UseImages({FixtureImage(image)});
  state.currentPartition = {partition["start_sector"].get<std::uint64_t>(),
                            partition["size_sectors"].get<std::uint64_t>(), 0};
  ReplaceFolderTree(state);
  state.fileSearchKind = advanced ? FileSearchKind::Advanced : FileSearchKind::Quick;
  if (advanced)
    AdvancedCatalogueBuild(state);
  else
    QuickCatalogueBuild(state);
  return partition;
}

MemoryDiskSource& TestWizard::UseMemoryDisk(std::size_t sectors) {
  auto source = std::make_unique<MemoryDiskSource>(sectors);
  MemoryDiskSource& disk = *source;
  const int n = state.disks.names.Add({"memory", {}, std::move(source)});
  const std::string name = DiskNameTable::DiskName(static_cast<std::size_t>(n));
  state.disks.info.Write(diskinfo::kSizeKey, name, std::to_string(sectors * kSectorSize));
  state.disks.currentIndex = static_cast<std::uint16_t>(n);
  ReplacePartitionTree(state);
  return disk;
}

}  // namespace vantrel::test
