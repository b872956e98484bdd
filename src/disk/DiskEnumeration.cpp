#include "disk/DiskEnumeration.h"

#include <filesystem>

#include "disk/FileDiskSource.h"
#include "disk/containers/OpenDiskImage.h"

namespace vantrel {

namespace {

namespace key = diskinfo;

std::unique_ptr<DiskSource> OpenSource(const NamedDisk& disk, std::string* problem) {
  std::optional<BadSectorMap> map;
  if (!disk.mapfile.empty()) {
    map = BadSectorMap::Load(disk.mapfile, problem);
    if (!map) return nullptr;
  }
  return OpenDiskImage(disk.path, std::move(map), problem);
}

// An image file or a device as Linux reports it; a container as an image file named by its
// first file.
std::optional<DiskGeometry> GeometryOf(DiskSource& disk, const std::string& path, const std::string& sysBlockRoot) {
  if (auto* file = dynamic_cast<FileDiskSource*>(&disk)) return ProbeGeometry(*file, sysBlockRoot);
  const auto size = disk.Size();
  if (!size) return std::nullopt;
  return StandardGeometry(*size, std::filesystem::path(path).filename().string(), "Disk image file");
}

}  // namespace

void RecordDiskGeometry(DiskInfoStore& store, const std::string& name, const DiskGeometry& geometry) {
  store.Write(key::kRootKey, name, "");
  store.Write(key::kCylinderKey, name, std::to_string(geometry.cylinders));
  store.Write(key::kHeadKey, name, std::to_string(geometry.heads));
  store.Write(key::kSectorsPerTrackKey, name, std::to_string(geometry.sectorsPerTrack));
  // The exact size, so that whole-disk scans reach the last sector.
  store.Write(key::kSizeKey, name, std::to_string(geometry.sizeBytes));
  store.Write(key::kModelKey, name, geometry.model);
  store.Write(key::kMediaTypeKey, name, geometry.mediaType);
}

std::vector<EnumerationProblem> OpenDisks(DiskNameTable& names, DiskInfoStore& info,
                                          const std::vector<NamedDisk>& given, const std::string& sysBlockRoot) {
  std::vector<EnumerationProblem> problems;
  std::vector<NamedDisk> disks = given;
  if (disks.empty())
    for (const auto& path : ListWholeDisks(sysBlockRoot)) disks.push_back({path, {}});

  info.Clear();
  names.Clear();
  for (const NamedDisk& named : disks) {
    std::string problem;
    auto source = OpenSource(named, &problem);
    if (!source) {
      problems.push_back({-1, problem});
      continue;
    }
    DiskSource* disk = source.get();
    const int n = names.Add({named.path, named.mapfile, std::move(source), {}});
    if (n < 0) {
      problems.push_back(
          {-1, named.path + ": only " + std::to_string(DiskNameTable::kMaxDisks) + " disks can be listed"});
      continue;
    }
    const std::string name = DiskNameTable::DiskName(static_cast<std::size_t>(n));
    if (const auto geometry = GeometryOf(*disk, named.path, sysBlockRoot)) {
      RecordDiskGeometry(info, name, *geometry);
    } else {
      const std::string why = disk->OpenError();
      info.Write(key::kRootKey, name, "");
      info.Write(key::kErrorKey, name, why);
      problems.push_back({n, name + " " + why});
    }
  }
  return problems;
}

}  // namespace vantrel
