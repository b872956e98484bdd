#pragma once
// The disk a recovery step reads, with what the disk list knows of it.

#include <cstdint>
#include <string>
#include <vector>

#include "disk/DestinationOnSource.h"
#include "disk/DiskEnumeration.h"
#include "disk/DiskInfoStore.h"
#include "disk/DiskNameTable.h"
#include "disk/DiskReader.h"
#include "recovery/StepResult.h"
#include "reiserfs/search/PartitionSearch.h"

namespace vantrel {

struct DiskChoice {
  DiskReader disk;
  std::uint16_t index = 0;
  std::uint64_t sectors = 0;    // the disk's size
  CylinderGeometry geometry{};  // as the disk reports it
  std::string model{};
  std::string path{};                    // the image file or device; empty when there is no such disk
  std::vector<std::string> readsFrom{};  // for an array or a logical volume: the given disks it reads
  std::string problem{};                 // why the disk cannot be read; empty when it can
  DeviceLookup deviceLookup{};           // where a destination's device is looked up
};

// Disk n of the table as the steps read it through reader. problems are those the disks'
// opening reported.
DiskChoice ChooseDisk(SectorReader& reader, const DiskNameTable& names, const DiskInfoStore& info,
                      const std::vector<EnumerationProblem>& problems, int n);

// A step that would write below destination refuses when it lies on the disk itself, and
// then when the disk cannot be read.
StepResult CheckDiskAndDestination(const DiskChoice& disk, const std::string& destination);

}  // namespace vantrel
