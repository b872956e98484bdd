#pragma once
// Finding the disks: fills the disk name table, the disk information store and the disk
// tree ("My Computer" with "Disk" + n), and shows a disk's details rows.

#include <string>
#include <vector>

namespace vantrel {

struct WizardState;

struct NamedDisk {
  std::string path;
  std::string mapfile;  // optional ddrescue mapfile of an image
};

struct EnumerationProblem {
  int disk = -1;  // -1: not listed at all
  std::string text;
};

// Lists the disks named (in that order, as Disk0, Disk1, ...) or, when none are named,
// the machine's whole disks. A disk that cannot be opened is still listed, so that the
// numbering stays as given, and its reason is kept in the store and returned.
std::vector<EnumerationProblem> EnumerateDisks(WizardState& state, const std::vector<NamedDisk>& named,
                                               const std::string& sysBlockRoot = "/sys/block");

// Clears the details list and fills it with the disk's rows; copies its model text into
// selectedDiskModel.
void ShowDiskDetails(WizardState& state, int disk);

}  // namespace vantrel
