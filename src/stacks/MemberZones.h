#pragma once
// Arrays whose members may differ in size: RAID0 in strip zones and linear arrays, as the md
// driver lays them out. Each member offers its own data sectors, cut to whole chunks. RAID0
// stripes its first zone over every member, up to the smallest; each further zone over the
// members that still have room, up to the next smallest; linear arrays take the members one
// after the other. Members are in role order, never in the order they were found.

#include <cstdint>
#include <optional>
#include <vector>

#include "stacks/MdShape.h"

namespace vantrel {

struct StripZone {
  std::uint64_t arrayEnd = 0;     // the first array sector after the zone
  std::uint64_t memberStart = 0;  // where the zone starts on each of its members
  std::vector<std::uint32_t> roles;
};

// The zones of a RAID0 (one zone when every member offers the same), or the members of a
// linear array (one zone each). Empty for other levels.
std::vector<StripZone> MemberZonesOf(const MdGeometry& geometry);

// The place of an array sector in zones, or nothing beyond the last.
std::optional<MemberPlace> PlaceInZones(const MdGeometry& geometry, const std::vector<StripZone>& zones,
                                        std::uint64_t arraySector);

// The array sector at a place, or nothing where no zone uses it.
std::optional<std::uint64_t> ArraySectorInZones(const MdGeometry& geometry, const std::vector<StripZone>& zones,
                                                std::uint32_t role, std::uint64_t memberSector);

}  // namespace vantrel
