#pragma once
// Stacks found without asking: the given disks and their partitions are probed for md
// superblocks and LVM2 labels; the arrays they make up and the logical volumes of their
// volume groups are appended to the disk name table as further disks, each recorded in the
// disk information store as a disk is. Nothing is written to any disk.

#include <string>
#include <vector>

#include "disk/DiskEnumeration.h"
#include "disk/DiskInfoStore.h"
#include "disk/DiskNameTable.h"
#include "stacks/StackedDiskSource.h"

namespace vantrel {

// Appends the arrays, then the logical volumes, found on the disks the table holds. Returns
// notes on what was found but cannot be offered (an array with too many members missing,
// a logical volume on a missing physical volume or of a kind not read).
std::vector<std::string> AddStackedDisks(DiskNameTable& names, DiskInfoStore& info);

// OpenDisks, then AddStackedDisks; the notes are added to the problems as not tied to a disk.
struct OpenedDisks {
  std::vector<EnumerationProblem> problems;
  std::vector<std::string> stackNotes;
};
OpenedDisks OpenDisksAndStacks(DiskNameTable& names, DiskInfoStore& info, const std::vector<NamedDisk>& named,
                               const std::string& sysBlockRoot = "/sys/block");

// What disk n is made of, when it is an array or a logical volume; nullptr for a given disk.
const StackDescription* StackOf(const DiskNameTable& names, std::size_t n);

}  // namespace vantrel
