#include "recovery/PartitionChoice.h"

#include "reiserfs/format/ReiserSuperblock.h"

namespace vantrel {

const char* SearchKindName(PartitionSearchKind kind) {
  switch (kind) {
    case PartitionSearchKind::Quick: return "quick";
    case PartitionSearchKind::Advanced: return "advanced";
    case PartitionSearchKind::More: return "more";
  }
  return "quick";
}

std::string PartitionScanText(std::uint64_t sector, std::uint64_t totalSectors) {
  return "Searching Partitions " + std::to_string(sector) + " / " + std::to_string(totalSectors);
}

PartitionSearchResult FindPartitions(const DiskChoice& disk, PartitionSearchKind kind, const StopToken& stop,
                                     PartitionSearchProgress& progress) {
  switch (kind) {
    case PartitionSearchKind::Quick:
      // An array or a logical volume holds the file system itself, with no partition table.
      return disk.readsFrom.empty() ? SearchPartitionTables(disk.disk, progress)
                                    : SearchAssembledVolume(disk.disk, progress);
    case PartitionSearchKind::Advanced: return ScanSectorsForPartitions(disk.disk, disk.sectors, stop, progress);
    case PartitionSearchKind::More: return SearchCylinderStarts(disk.disk, disk.geometry, progress);
  }
  return {};
}

PartitionSearchResult SearchDiskPartitions(const DiskChoice& disk, PartitionSearchKind kind, const StopToken& stop,
                                           PartitionSearchProgress& progress, RecoveryMessages& messages) {
  PartitionSearchResult result = FindPartitions(disk, kind, stop, progress);
  if (result.tableFull) messages.Tell(kPartitionTableFullMessage, MessageStyle::Box);
  if (result.partitions.empty()) {
    switch (kind) {
      case PartitionSearchKind::Quick: messages.Tell(kQuickSearchFoundNothing, MessageStyle::Box); break;
      case PartitionSearchKind::Advanced: messages.Tell(kAdvancedSearchFoundNothing, MessageStyle::Box); break;
      case PartitionSearchKind::More: messages.Tell(kMoreSearchFoundNothing, MessageStyle::SystemError); break;
    }
  }
  return result;
}

Result<ChosenPartition> ChoosePartition(const DiskChoice& disk, const PartitionRequest& request,
                                        PartitionSearchProgress& progress, RecoveryMessages& messages) {
  ChosenPartition chosen;
  if (request.start) {
    const std::uint64_t start = *request.start;
    const auto superblock = ReadSuperblock(disk.disk, start);
    if (!superblock)
      messages.Remark("no ReiserFS superblock at sector " + std::to_string(start + kSuperblockSectorOffset) +
                      "; reading the partition at " + std::to_string(start) + " anyway");
    const std::uint64_t size = superblock ? std::uint64_t{superblock->blockCount} * superblock->SectorsPerBlock() : 0;
    chosen.record = {size, start};
    return chosen;  // a partition named by its start is opened as the quick search would
  }
  chosen.recoveryMode = request.search == PartitionSearchKind::Advanced ? 2 : 1;
  chosen.found = SearchDiskPartitions(disk, request.search, StopToken(), progress, messages);
  const auto& partitions = chosen.found.partitions;
  if (request.record >= partitions.size())
    return Error{ErrorKind::NotFound,
                 "there is no partition record " + std::to_string(request.record) + " (" +
                     std::to_string(partitions.size()) + " found by the " + SearchKindName(request.search) + " search)",
                 {}};
  chosen.record = partitions[request.record];
  return chosen;
}

}  // namespace vantrel
