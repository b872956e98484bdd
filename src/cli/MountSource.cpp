#include "cli/MountSource.h"

#include <iostream>

#include "recovery/CatalogueChoice.h"
#include "recovery/PartitionChoice.h"

namespace vantrel::cli {

std::optional<PartitionSource> PickPartition(const DiskReader& disk, const MountSourceOptions& options,
                                             std::uint64_t diskSectors) {
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
  PartitionSource partition{disk,
                            start,
                            ReadPartitionSuperblock(disk, start),
                            {.replay = !options.noJournal, .journalDisk = {}}};
  if (!PartitionBlocks(disk, start, partition.superblock).Usable() || partition.superblock.blockCount == 0) {
    const std::uint64_t sectors = diskSectors > start ? diskSectors - start : 0;
    if (const auto inferred = options.advanced ? InferGeometry(disk, start, sectors, {}) : std::nullopt) {
      std::cerr << "vantrel-cli: no superblock at sector " << start << " + 128: " << InferredGeometryText(*inferred)
                << '\n';
      partition.superblock = inferred->superblock;
      partition.journal.replay = false;  // the journal is not known
      return partition;
    }
    std::cerr << "vantrel-cli: no readable ReiserFS superblock at sector " << start << " + 128\n";
    return std::nullopt;
  }
  return partition;
}

MountCatalogue BuildMountCatalogue(const PartitionSource& partition, bool advanced) {
  SilentBuildStatus silent;
  const StopToken never;
  if (!advanced) return {BuildCatalogue(partition, FileSearchKind::Quick, never, silent), BodySource::Tree};
  return {BuildCatalogue(partition, FileSearchKind::Advanced, never, silent), BodySource::Pieces};
}

}  // namespace vantrel::cli
