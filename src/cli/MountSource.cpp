#include "cli/MountSource.h"

#include <iostream>

#include "reiserfs/AdvancedCatalogueBuild.h"
#include "reiserfs/PartitionSearch.h"
#include "reiserfs/QuickCatalogueBuild.h"
#include "reiserfs/TreeSearch.h"

namespace vantrel::cli {

namespace {

// The root folder's own stat data (key [1 2]), which no folder entry leads to: kept as an
// object record for the mount's root, when the catalogue has none.
class RootStatData : public ItemConsumer {
 public:
  void OnStatData(std::uint32_t objectId, std::uint32_t dirId, const StatData& data) override {
    if (objectId == kRootFolderId && dirId == 1) found = data;
  }
  std::optional<StatData> found;
};

void KeepRootStatData(const PartitionSource& partition, Catalogue& catalogue) {
  if (catalogue.objectList.Find(kRootFolderId, 1) != nullptr) return;
  PartitionBlocks blocks(partition.disk, partition.startSector, catalogue.currentSuperblock);
  if (!blocks.Usable()) return;
  TreeSearch search(blocks, catalogue.currentSuperblock.rootBlock);
  RootStatData root;
  search.SearchTree({1, kRootFolderId, 0, 0, kStatDataType}, root);
  if (!root.found) return;
  ObjectRecord record;
  record.objectId = kRootFolderId;
  record.dirId = 1;
  record.modificationTime = root.found->modificationTime;
  record.size = root.found->size;
  record.mode = root.found->mode;
  catalogue.objectList.Append(record, "");
}

}  // namespace

std::optional<PartitionSource> PickPartition(const DiskReader& disk, const MountSourceOptions& options) {
  std::uint64_t start = 0;
  if (options.start) {
    start = *options.start;
  } else {
    PartitionSearchProgress quiet;
    const PartitionSearchResult found = SearchPartitionTables(disk, quiet);
    if (options.partition >= found.partitions.size()) {
      std::cerr << "vantrel-cli: there is no partition record " << options.partition << " (" << found.partitions.size()
                << " found in the partition tables; --start SECTOR names one directly)\n";
      return std::nullopt;
    }
    start = found.partitions[options.partition].start;
  }
  PartitionSource partition{disk, start, ReadPartitionSuperblock(disk, start)};
  if (!PartitionBlocks(disk, start, partition.superblock).Usable() || partition.superblock.blockCount == 0) {
    std::cerr << "vantrel-cli: no readable ReiserFS superblock at sector " << start << " + 128\n";
    return std::nullopt;
  }
  return partition;
}

MountCatalogue BuildMountCatalogue(const PartitionSource& partition, bool advanced) {
  SilentBuildStatus silent;
  const StopToken never;
  MountCatalogue built;
  if (!advanced) {
    built.catalogue = BuildQuickCatalogue(partition, never, silent);
    KeepRootStatData(partition, built.catalogue);
    return built;
  }
  built.catalogue = BuildAdvancedCatalogue(partition, never, silent);
  built.bodies = BodySource::Pieces;
  KeepRootStatData(partition, built.catalogue);
  built.states = mount::EntryStates(BuildQuickCatalogue(partition, never, silent));
  return built;
}

}  // namespace vantrel::cli
