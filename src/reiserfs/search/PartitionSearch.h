#pragma once
// The three searches for the ReiserFS partitions of one disk: from the partition tables
// (quick), from every sector (advanced) and at the usual starts of every cylinder. Each
// returns the partitions in the order found, at most kMaxPartitions of them.

#include <cstdint>
#include <vector>

#include "base/StopToken.h"
#include "disk/DiskReader.h"

namespace vantrel {

struct PartitionRecord {
  std::uint64_t size = 0;   // sectors
  std::uint64_t start = 0;  // absolute sector of the partition's first sector
  bool operator==(const PartitionRecord&) const = default;
};

inline constexpr std::uint32_t kMaxPartitions = 100;

struct PartitionSearchResult {
  std::vector<PartitionRecord> partitions;
  bool tableFull = false;  // more were there than kMaxPartitions
};

// What a search reports while it runs; every call comes from the searching thread.
class PartitionSearchProgress {
 public:
  virtual ~PartitionSearchProgress() = default;
  // A partition was added; count is the number found so far.
  virtual void OnFound(const PartitionRecord& /*record*/, std::size_t /*count*/) {}
  // The sector scan reached sector of total (every 88 requests of 8 sectors).
  virtual void OnScanned(std::uint64_t /*sector*/, std::uint64_t /*totalSectors*/) {}
  // The cylinder search is about to test cylinder index of cylinders.
  virtual void OnCylinder(std::uint64_t /*index*/, std::uint64_t /*cylinders*/) {}
};

// Walks the primary table in sector 0 and the chain of extended boot records and keeps
// every Linux-type entry whose start carries a ReiserFS superblock (sized from the table).
PartitionSearchResult SearchPartitionTables(const DiskReader& disk, PartitionSearchProgress& progress);

// For a disk put together from others (an array, a logical volume), which usually holds its
// file system from its first sector and no partition table: the ReiserFS at sector 0 (with
// a plausible root node), then what the partition tables list.
PartitionSearchResult SearchAssembledVolume(const DiskReader& disk, PartitionSearchProgress& progress);

// Tests every sector of the disk for a superblock with a plausible root node (sized from
// the superblock). Ends early when stop is requested, with what it found.
PartitionSearchResult ScanSectorsForPartitions(const DiskReader& disk, std::uint64_t totalSectors,
                                               const StopToken& stop, PartitionSearchProgress& progress);

struct CylinderGeometry {
  std::uint64_t cylinders = 0;
  std::uint64_t heads = 0;
  std::uint64_t sectorsPerTrack = 0;
};

// The geometry translated to 255 heads and 63 sectors per track when the disk reports
// another number of sectors per track.
CylinderGeometry UsualGeometry(const CylinderGeometry& reported);

// Tests the two usual partition starts of every cylinder of the (usual) geometry with the
// strict test.
PartitionSearchResult SearchCylinderStarts(const DiskReader& disk, const CylinderGeometry& geometry,
                                           PartitionSearchProgress& progress);

}  // namespace vantrel
