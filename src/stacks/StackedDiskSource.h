#pragma once
// A disk the program puts together from the given disks: an md array or an LVM2 logical
// volume. It reads like any other disk and tells what it is made of.

#include <cstdint>
#include <string>
#include <vector>

#include "disk/DiskSource.h"

namespace vantrel {

struct StackDescription {
  std::string kind;  // "md" or "lv"
  std::string name;  // the array's name, or "VG/LV"
  std::string uuid;
  std::string level;             // "raid5", ...; "linear" or "striped" for a logical volume
  std::uint64_t chunkBytes = 0;  // stripe size of a striped logical volume
  std::string layout;
  std::vector<std::string> members;  // "Disk1 partition 1 (role 0)", missing ones included
  std::string state;                 // "clean", "active", "degraded: role 2 missing", ...
  std::vector<std::string> leftOut;  // members found but not used, each with why
  std::string volumeGroup;
  std::vector<std::string> segments;  // "extents 0-9: linear on pv0 (Disk4) from extent 0"
};

class StackedDiskSource : public DiskSource {
 public:
  virtual const StackDescription& Description() const = 0;
  // The paths of the given disks it reads (each once, in the order of first use).
  virtual std::vector<std::string> UnderlyingPaths() const = 0;
};

}  // namespace vantrel
