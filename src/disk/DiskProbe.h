#pragma once
// What Linux tells about a disk: the whole disks of the machine (from sysfs), and the
// geometry, exact size, model and media type of a block device or image file.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

class FileDiskSource;

struct DiskGeometry {
  std::uint64_t cylinders = 0;
  std::uint32_t heads = 0;
  std::uint32_t sectorsPerTrack = 0;
  std::uint32_t bytesPerSector = 512;
  std::uint64_t sizeBytes = 0;  // exact size of the device or image
  std::string model;
  std::string mediaType;
};

// Device paths of the whole disks listed under sysBlockRoot (normally /sys/block),
// leaving out loop, ram, zram, floppy and optical devices and drives without media.
std::vector<std::string> ListWholeDisks(const std::string& sysBlockRoot = "/sys/block");

// The geometry given to a disk that reports none (an image, an array): 255 heads, 63
// sectors per track, and the whole cylinders that fit in the size.
DiskGeometry StandardGeometry(std::uint64_t sizeBytes, std::string model, std::string mediaType);

// Geometry of an open disk. Block devices report heads and sectors per track when they
// can; images, and devices that cannot, take 255 heads and 63 sectors per track.
// Cylinders are the whole cylinders that fit in the size.
std::optional<DiskGeometry> ProbeGeometry(FileDiskSource& disk,
                                          const std::string& sysBlockRoot = "/sys/block");

}  // namespace vantrel
