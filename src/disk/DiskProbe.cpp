#include "disk/DiskProbe.h"

#include <linux/hdreg.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "disk/FileDiskSource.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kImageHeads = 255;
constexpr std::uint32_t kImageSectorsPerTrack = 63;

std::string ReadTrimmed(const fs::path& file) {
  std::ifstream in(file);
  std::string text;
  std::getline(in, text, '\0');
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.rfind(prefix, 0) == 0;
}

bool IsWantedWholeDisk(const fs::path& entry) {
  const std::string name = entry.filename().string();
  for (const char* skipped : {"loop", "ram", "zram", "sr", "fd"})
    if (StartsWith(name, skipped)) return false;
  if (ReadTrimmed(entry / "device" / "type") == "5") return false;  // SCSI optical drive
  if (ReadTrimmed(entry / "size") == "0") return false;             // no media
  return true;
}

// The sysfs directory of a block device node, found through its device number.
std::optional<fs::path> SysfsEntryOf(int fd, const std::string& sysBlockRoot) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISBLK(info.st_mode)) return std::nullopt;
  const std::string wanted =
      std::to_string(major(info.st_rdev)) + ":" + std::to_string(minor(info.st_rdev));
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(sysBlockRoot, error))
    if (ReadTrimmed(entry.path() / "dev") == wanted) return entry.path();
  return std::nullopt;
}

}  // namespace

std::vector<std::string> ListWholeDisks(const std::string& sysBlockRoot) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(sysBlockRoot, error))
    if (IsWantedWholeDisk(entry.path())) names.push_back(entry.path().filename().string());
  // sda before sdb before sdaa: shorter names first, then alphabetical.
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
  });
  std::vector<std::string> paths;
  for (std::string name : names) {
    std::replace(name.begin(), name.end(), '!', '/');  // cciss!c0d0 is /dev/cciss/c0d0
    paths.push_back("/dev/" + name);
  }
  return paths;
}

DiskGeometry StandardGeometry(std::uint64_t sizeBytes, std::string model, std::string mediaType) {
  DiskGeometry geometry;
  geometry.sizeBytes = sizeBytes;
  geometry.heads = kImageHeads;
  geometry.sectorsPerTrack = kImageSectorsPerTrack;
  geometry.cylinders = sizeBytes / (std::uint64_t{kImageHeads} * kImageSectorsPerTrack * geometry.bytesPerSector);
  geometry.model = std::move(model);
  geometry.mediaType = std::move(mediaType);
  return geometry;
}

std::optional<DiskGeometry> ProbeGeometry(FileDiskSource& disk, const std::string& sysBlockRoot) {
  const auto size = disk.Size();
  if (!size) return std::nullopt;
  DiskGeometry geometry = StandardGeometry(*size, {}, {});
  if (disk.IsBlockDevice()) {
    hd_geometry reported{};
    if (::ioctl(disk.Descriptor(), HDIO_GETGEO, &reported) == 0 && reported.heads != 0 &&
        reported.sectors != 0) {
      geometry.heads = reported.heads;
      geometry.sectorsPerTrack = reported.sectors;
    }
    const auto entry = SysfsEntryOf(disk.Descriptor(), sysBlockRoot);
    if (entry) {
      geometry.model = ReadTrimmed(*entry / "device" / "model");
      geometry.mediaType =
          ReadTrimmed(*entry / "removable") == "1" ? "Removable media" : "Fixed hard disk media";
    }
    if (geometry.model.empty()) geometry.model = fs::path(disk.Path()).filename().string();
    if (geometry.mediaType.empty()) geometry.mediaType = "Fixed hard disk media";
  } else {
    geometry.model = fs::path(disk.Path()).filename().string();
    geometry.mediaType = "Disk image file";
  }
  const std::uint64_t cylinderBytes =
      std::uint64_t{geometry.heads} * geometry.sectorsPerTrack * geometry.bytesPerSector;
  geometry.cylinders = geometry.sizeBytes / cylinderBytes;
  return geometry;
}

}  // namespace vantrel
