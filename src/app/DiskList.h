#pragma once
// The disks in the window: the disk tree ("My Computer" with "Disk" + n) and a disk's
// details rows.

#include <string>
#include <vector>

#include "disk/DiskDetailsRows.h"
#include "disk/DiskEnumeration.h"

namespace vantrel {

struct WizardState;

// Opens the disks (see OpenDisks) and lists every one in the disk tree.
std::vector<EnumerationProblem> EnumerateDisks(WizardState& state, const std::vector<NamedDisk>& named,
                                               const std::string& sysBlockRoot = "/sys/block");

// Clears the details list and fills it with the disk's rows; copies its model text into
// selectedDiskModel.
void ShowDiskDetails(WizardState& state, int disk);

}  // namespace vantrel
