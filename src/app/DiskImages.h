#pragma once
// Disk images opened in the window (through "Open Disk Image...", dropped on the disk list,
// or named on the command line): they join the disk list, and an image can be taken off it
// again. The list changes only in the first step and while nothing runs.

#include <cstddef>
#include <string>
#include <vector>

#include "disk/DiskEnumeration.h"

namespace vantrel {

struct WizardState;

// The file dialog's filter: the kinds of image the disk layer reads, then any file.
inline constexpr const char* kDiskImageFilter =
    "Disk images (*.img *.dd *.raw *.bin *.E01 *.e01 *.qcow2 *.qcow *.vmdk *.vhd *.vhdx *.001 *.000 *.aa);;"
    "All files (*)";

struct DiskListChange {
  bool changed = false;
  std::string message;  // for the user: why nothing changed, or what could not be read
};

// The disks the list was opened from, in order: those named or added, not the arrays and
// logical volumes found on them.
std::vector<NamedDisk> GivenDisks(const WizardState& state);

// Adds the image files (an image already listed is not listed twice) and lists the disks again.
DiskListChange AddDiskImages(WizardState& state, bool busy, const std::vector<std::string>& paths);

// Whether disk n is an image file the user may take off the list.
bool IsListedImage(const WizardState& state, std::size_t disk);

// Takes image n off the list and lists the disks again.
DiskListChange RemoveDiskImage(WizardState& state, bool busy, std::size_t disk);

// Lists the same disks again (after an array was described by hand).
DiskListChange RelistGivenDisks(WizardState& state, bool busy);

}  // namespace vantrel
