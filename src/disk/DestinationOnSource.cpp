#include "disk/DestinationOnSource.h"

#include <dirent.h>
#include <sys/sysmacros.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <set>
#include <string_view>
#include <vector>

namespace vantrel {

namespace fs = std::filesystem;

namespace {

// Stacks of devices are shallow; the bounds only keep a damaged or looping tree finite.
constexpr int kMostLevels = 16;
constexpr std::size_t kMostDevices = 4096;

std::string FirstLine(const fs::path& path) {
  std::ifstream file(path);
  std::string line;
  std::getline(file, line);
  return line;
}

// A "MAJ:MIN" text, as the dev files of the device tree hold it.
std::optional<dev_t> ParseDevice(const std::string& text) {
  unsigned major = 0, minor = 0;
  char colon = 0, extra = 0;
  if (std::sscanf(text.c_str(), "%u%c%u%c", &major, &colon, &minor, &extra) != 3 || colon != ':') return std::nullopt;
  return makedev(major, minor);
}

std::optional<dev_t> DeviceOf(const fs::path& folder) { return ParseDevice(FirstLine(folder / "dev")); }

// The entries of a folder (none when it cannot be read). Read with the system's calls: the
// library's folder walk cannot report an allocation failure, it ends the program.
std::vector<fs::path> Entries(const fs::path& folder) {
  std::vector<fs::path> entries;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return entries;
  try {
    while (const dirent* entry = ::readdir(dir))
      if (std::string_view(entry->d_name) != "." && std::string_view(entry->d_name) != "..")
        entries.push_back(folder / entry->d_name);
  } catch (...) {
    ::closedir(dir);
    throw;
  }
  ::closedir(dir);
  return entries;
}

class DeviceTree {
 public:
  explicit DeviceTree(const DeviceLookup& lookup) : lookup_(lookup) {}

  // The device's folder in the tree, or an empty path when it has none.
  fs::path FolderOf(dev_t device) const {
    std::error_code error;
    const fs::path link = lookup_.sysfsRoot / "dev" / "block" /
                          (std::to_string(major(device)) + ":" + std::to_string(minor(device)));
    fs::path folder = fs::canonical(link, error);
    return error ? fs::path() : folder;
  }

  // The device, its partitions, and everything built over them (holders), each once.
  void AddWithEverythingAbove(dev_t device, std::set<dev_t>& devices, int level = 0) const {
    if (level > kMostLevels || devices.size() >= kMostDevices || !devices.insert(device).second) return;
    const fs::path folder = FolderOf(device);
    if (folder.empty()) return;
    std::error_code error;
    for (const fs::path& entry : Entries(folder)) {
      if (!fs::exists(entry / "partition", error)) continue;
      if (const auto partition = DeviceOf(entry)) AddWithEverythingAbove(*partition, devices, level + 1);
    }
    AddNamed(folder / "holders", devices, level, &DeviceTree::AddWithEverythingAbove);
  }

  // The device and everything it is built from (slaves), each once.
  void AddWithEverythingBelow(dev_t device, std::set<dev_t>& devices, int level = 0) const {
    if (level > kMostLevels || devices.size() >= kMostDevices || !devices.insert(device).second) return;
    const fs::path folder = FolderOf(device);
    if (!folder.empty()) AddNamed(folder / "slaves", devices, level, &DeviceTree::AddWithEverythingBelow);
  }

  // The loop devices whose backing file is the file with this identity.
  std::set<dev_t> LoopsBackedBy(const struct stat& file) const {
    std::set<dev_t> loops;
    for (const fs::path& entry : Entries(lookup_.sysfsRoot / "block")) {
      std::string backing = FirstLine(entry / "loop" / "backing_file");
      if (backing.empty()) continue;
      // A backing file removed since it was attached is named with this mark.
      constexpr std::string_view kDeleted = " (deleted)";
      if (backing.ends_with(kDeleted)) backing.resize(backing.size() - kDeleted.size());
      struct stat found {};
      if (lookup_.stat(backing, &found) != 0 || found.st_dev != file.st_dev || found.st_ino != file.st_ino) continue;
      if (const auto loop = DeviceOf(entry)) loops.insert(*loop);
    }
    return loops;
  }

 private:
  using Walk = void (DeviceTree::*)(dev_t, std::set<dev_t>&, int) const;
  void AddNamed(const fs::path& folder, std::set<dev_t>& devices, int level, Walk walk) const {
    for (const fs::path& entry : Entries(folder))
      if (const auto device = DeviceOf(entry)) (this->*walk)(*device, devices, level + 1);
  }

  const DeviceLookup& lookup_;
};

// The device of the nearest folder of path that exists: where its files would be made.
std::optional<dev_t> DeviceHolding(const fs::path& path, const DeviceLookup& lookup) {
  std::error_code error;
  fs::path at = fs::absolute(path, error);
  if (error) return std::nullopt;
  for (int steps = 0; steps < 4096; ++steps) {
    struct stat found {};
    if (lookup.stat(at.string(), &found) == 0) return found.st_dev;
    if (!at.has_relative_path()) return std::nullopt;
    at = at.parent_path();
  }
  return std::nullopt;
}

}  // namespace

bool DestinationOnSource(const std::string& sourcePath, const fs::path& destination, const DeviceLookup& lookup) {
  struct stat source {};
  if (lookup.stat(sourcePath, &source) != 0) return false;
  const auto held = DeviceHolding(destination.lexically_normal(), lookup);
  if (!held) return false;

  const DeviceTree tree(lookup);
  std::set<dev_t> sourceDevices;
  if (S_ISBLK(source.st_mode)) {
    tree.AddWithEverythingAbove(source.st_rdev, sourceDevices);
  } else if (S_ISREG(source.st_mode)) {
    // An image is only overwritten through a loop device over it; the folder that holds
    // the image is another matter (its free space is not the image's).
    for (const dev_t loop : tree.LoopsBackedBy(source)) tree.AddWithEverythingAbove(loop, sourceDevices);
  }
  if (sourceDevices.empty()) return false;

  std::set<dev_t> destinationDevices;
  tree.AddWithEverythingBelow(*held, destinationDevices);
  for (const dev_t device : destinationDevices)
    if (sourceDevices.count(device) != 0) return true;
  return false;
}

bool DestinationOnDisk(const DiskEntry& disk, const fs::path& destination, const DeviceLookup& lookup) {
  if (disk.readsFrom.empty()) return DestinationOnSource(disk.path, destination, lookup);
  for (const std::string& path : disk.readsFrom)
    if (DestinationOnSource(path, destination, lookup)) return true;
  return false;
}

}  // namespace vantrel
