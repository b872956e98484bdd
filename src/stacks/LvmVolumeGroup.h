#pragma once
// A volume group as its LVM2 metadata text describes it: the physical volumes by UUID with
// where their extents start, and the logical volumes with their segments. Every number is
// checked: extents lie within their physical volume, segments follow one another.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stacks/LvmText.h"

namespace vantrel {

struct LvmPhysicalVolumeEntry {
  std::string key;     // "pv0", as the segments name it
  std::string uuid;    // without the dashes
  std::string device;  // where the machine that wrote it saw it
  std::uint64_t peStartSectors = 0;
  std::uint64_t peCount = 0;
};

struct LvmStripe {
  std::size_t pv = 0;  // index into the group's physical volumes
  std::uint64_t firstExtent = 0;
};

struct LvmSegment {
  std::uint64_t startExtent = 0;
  std::uint64_t extentCount = 0;
  std::uint64_t stripeSectors = 0;  // 0 for a single stripe
  std::vector<LvmStripe> stripes;
};

struct LvmLogicalVolume {
  std::string name;
  std::string uuid;
  std::vector<LvmSegment> segments;  // in extent order, from extent 0 without gaps
  std::string unsupported;           // why it cannot be read (a segment type), or empty
};

struct LvmVolumeGroup {
  std::string name;
  std::string uuid;
  std::uint64_t seqno = 0;
  std::uint64_t extentSectors = 0;
  std::vector<LvmPhysicalVolumeEntry> physicalVolumes;
  std::vector<LvmLogicalVolume> logicalVolumes;  // the visible ones and the legs of mirrors
};

// Reads the volume group of a metadata text (its one top-level section); nothing when the
// text holds none or the group does not hold together.
std::optional<LvmVolumeGroup> ReadVolumeGroup(std::string_view metadataText);

// The LVM2 UUID without its dashes.
std::string BareUuid(std::string_view uuid);

}  // namespace vantrel
