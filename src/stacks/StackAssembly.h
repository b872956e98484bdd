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
#include "stacks/ManualArray.h"
#include "stacks/StackedDiskSource.h"

namespace vantrel {

// Appends the arrays found on the disks the table holds, then those described by hand
// (byHand, over the disks the table holds), then the logical volumes found on all of them.
// Returns notes on what was found but cannot be offered (an array with too many members
// missing, a logical volume on a missing physical volume or of a kind not read); an array
// by hand that cannot be put together is not added, and byHandProblems says why.
std::vector<std::string> AddStackedDisks(DiskNameTable& names, DiskInfoStore& info,
                                         const std::vector<ManualArrayParameters>& byHand = {},
                                         std::vector<std::string>* byHandProblems = nullptr);

// OpenDisks, then AddStackedDisks.
struct OpenedDisks {
  std::vector<EnumerationProblem> problems;
  std::vector<std::string> stackNotes;
  std::vector<std::string> byHandProblems;  // arrays described by hand that were not put together
};
OpenedDisks OpenDisksAndStacks(DiskNameTable& names, DiskInfoStore& info, const std::vector<NamedDisk>& named,
                               const std::string& sysBlockRoot = "/sys/block",
                               const std::vector<ManualArrayParameters>& byHand = {});

// What disk n is made of, when it is an array or a logical volume; nullptr for a given disk.
const StackDescription* StackOf(const DiskNameTable& names, std::size_t n);

}  // namespace vantrel
