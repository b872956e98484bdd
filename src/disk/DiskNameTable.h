#pragma once
// The disks the program can read, by number: entry n is "Disk" + n. Each entry names a
// disk source (an image file or a block device) and keeps it open while the program runs.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "disk/DiskSource.h"

namespace vantrel {

struct DiskEntry {
  std::string path;     // image file or block device
  std::string mapfile;  // optional ddrescue mapfile of an image
  std::unique_ptr<DiskSource> source;
  // For a disk put together from others (an array, a logical volume): the paths of the
  // given disks it reads. Empty for a given disk, which reads only its own path.
  std::vector<std::string> readsFrom{};
};

class DiskNameTable {
 public:
  // The disk information store keeps values for disks 0 to 25.
  static constexpr std::size_t kMaxDisks = 26;

  void Clear() { entries_.clear(); }
  // Appends an entry and returns its number, or -1 when the table is full.
  int Add(DiskEntry entry);
  std::size_t Count() const { return entries_.size(); }
  // The source of disk n, or nullptr when there is none.
  DiskSource* Source(std::size_t n) const;
  const DiskEntry* Entry(std::size_t n) const;

  static std::string DiskName(std::size_t n) { return "Disk" + std::to_string(n); }
  // The number of a disk label: the text after its first four characters ("Disk") read as
  // a decimal number; nothing when no number follows.
  static std::optional<std::size_t> DiskNumber(std::string_view label);

 private:
  std::vector<DiskEntry> entries_;
};

}  // namespace vantrel
