#pragma once
// The partition and catalogue the mount command serves, found with the engines directly:
// the partition by its record in the partition-table search or by its first sector, and
// the catalogue by a quick or an advanced build.

#include <cstdint>
#include <optional>
#include <string>

#include "recovery/CatalogueChoice.h"
#include "recovery/ChosenCatalogue.h"

namespace vantrel::cli {

struct MountSourceOptions {
  std::uint32_t partition = 0;         // record of the partition-table search
  std::optional<std::uint64_t> start;  // the partition at this sector instead
  bool advanced = false;               // file search: advanced instead of quick
  bool noJournal = false;              // the blocks as they lie, the journal not replayed
};

// The partition, or nothing after saying on standard error why there is none. For the
// advanced file search, a partition without a superblock is read with the geometry its tree
// gives (diskSectors: the disk's size, which bounds it).
std::optional<PartitionSource> PickPartition(const DiskReader& disk, const MountSourceOptions& options,
                                             std::uint64_t diskSectors);

struct MountCatalogue {
  Catalogue catalogue;
  BodySource bodies = BodySource::Tree;
};

MountCatalogue BuildMountCatalogue(const PartitionSource& partition, bool advanced);

}  // namespace vantrel::cli
