#pragma once
// The disks in the window: the disk tree ("My Computer" with "Disk" + n) and a disk's
// details rows.

#include <string>
#include <vector>

#include "disk/DiskEnumeration.h"
#include "stacks/StackedDiskSource.h"

namespace vantrel {

struct WizardState;

// Opens the disks (see OpenDisks) and lists every one in the disk tree.
std::vector<EnumerationProblem> EnumerateDisks(WizardState& state, const std::vector<NamedDisk>& named,
                                               const std::string& sysBlockRoot = "/sys/block");

// Clears the details list and fills it with the disk's rows; copies its model text into
// selectedDiskModel.
void ShowDiskDetails(WizardState& state, int disk);

// The details rows of disk n: its number, model, media, geometry, size and any error.
std::vector<std::string> DiskDetailsRows(const DiskInfoStore& store, int disk);

// The rows an array or a logical volume adds below its disk rows: level, chunk, layout,
// members and state; for a logical volume its volume group and segments.
std::vector<std::string> StackDetailsRows(const StackDescription& stack);

}  // namespace vantrel
