#pragma once
// Finding the disks: opens each one read-only into the disk name table and records its
// geometry, size and model in the disk information store.

#include <string>
#include <vector>

#include "disk/DiskInfoStore.h"
#include "disk/DiskProbe.h"
#include "disk/DiskNameTable.h"

namespace vantrel {

struct NamedDisk {
  std::string path;
  std::string mapfile;  // optional ddrescue mapfile of an image
};

struct EnumerationProblem {
  int disk = -1;  // -1: not listed at all
  std::string text;
};

// Records a disk's geometry, size, model and media type under its name ("Disk" + n).
void RecordDiskGeometry(DiskInfoStore& store, const std::string& name, const DiskGeometry& geometry);

// Opens the disks named (in that order, as Disk0, Disk1, ...) or, when none are named, the
// machine's whole disks, replacing what the table and the store held. A disk that cannot
// be opened is still listed, so that the numbering stays as given, and its reason is kept
// in the store and returned.
std::vector<EnumerationProblem> OpenDisks(DiskNameTable& names, DiskInfoStore& info, const std::vector<NamedDisk>& named,
                                          const std::string& sysBlockRoot = "/sys/block");

}  // namespace vantrel
