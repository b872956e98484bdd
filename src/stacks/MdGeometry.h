#pragma once
// Where an array's sectors lie on its members: the chunk maps of RAID0 (in zones where the
// members differ in size), linear arrays, RAID1, RAID4, RAID5 and RAID6 (every rotating
// layout) and RAID10 (near, far and offset copies), as the md driver lays them out. Pure arithmetic over sector
// numbers; member sectors count from the start of each member's data area.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "stacks/MdShape.h"

namespace vantrel {

// Why the geometry cannot be read (an unknown level or layout, a chunk that is not a power
// of two, ...), or nothing when it can.
std::optional<std::string> GeometryProblem(const MdGeometry& geometry);

// The array's size in sectors.
std::uint64_t ArraySectors(const MdGeometry& geometry);

// How many members may be missing with every sector still readable.
std::uint32_t RedundantMembers(const MdGeometry& geometry);

// The layout's name ("left-symmetric", "near=2", "far=2", "offset=2"), empty where the level
// has none.
std::string LayoutName(const MdGeometry& geometry);

// The copies of an array sector (RAID0 and the parity levels: the one place of the data;
// RAID1 and RAID10: every copy, first copy first).
std::vector<MemberPlace> CopiesOf(const MdGeometry& geometry, std::uint64_t arraySector);

// The array sector whose data (its first copy, never parity) lies at memberSector of role;
// nothing when that place holds parity, a later copy, or lies beyond the array.
std::optional<std::uint64_t> ArraySectorAt(const MdGeometry& geometry, std::uint32_t role, std::uint64_t memberSector);

// The roles of a parity level's stripe row (one chunk per member, at member chunk `row`).
struct ParityRowRoles {
  std::uint32_t p = 0;
  std::optional<std::uint32_t> q;
  // The data roles in array order (data chunk i of the row is on dataRoles[i]).
  std::vector<std::uint32_t> dataRoles;
  // The data roles in the order of the Q syndrome (the weight of dataRoles[i] is not always 2^i).
  std::vector<std::uint32_t> syndromeOrder;
};
ParityRowRoles RowRoles(const MdGeometry& geometry, std::uint64_t row);

// Sectors from arraySector to the end of its chunk (or of the array for RAID1).
std::uint64_t SectorsLeftInChunk(const MdGeometry& geometry, std::uint64_t arraySector);

}  // namespace vantrel
