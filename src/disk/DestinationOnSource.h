#pragma once
// Whether a destination folder lies on the disk being recovered: on the block device
// itself, on one of its partitions, on a device stacked over them (a mapping, a RAID), or,
// for a disk image, on a loop device whose backing file is that image. Writing there
// would overwrite the very sectors that are being recovered.

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>

#include "disk/DiskNameTable.h"

namespace vantrel {

// Where the devices are looked up; tests give a tree of their own and a stat of their own.
struct DeviceLookup {
  std::filesystem::path sysfsRoot = "/sys";
  // stat(2), following links: 0 on success.
  std::function<int(const std::string& path, struct stat* result)> stat =
      [](const std::string& path, struct stat* result) { return ::stat(path.c_str(), result); };
};

// True when files written below destination (which need not exist yet: its nearest existing
// folder counts) would land on the disk at sourcePath. False when they would not, or when
// it cannot be told (a source or a folder that cannot be looked at).
bool DestinationOnSource(const std::string& sourcePath, const std::filesystem::path& destination,
                         const DeviceLookup& lookup = {});

// The same for a disk of the name table: for a disk put together from others, true when
// the destination lies on any of the disks it reads.
bool DestinationOnDisk(const DiskEntry& disk, const std::filesystem::path& destination,
                       const DeviceLookup& lookup = {});

}  // namespace vantrel
