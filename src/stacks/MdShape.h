#pragma once
// What an md array's layout is made of: its level, layout, members and chunk size, and a
// place on one of its members. The arithmetic over them is in MdGeometry and MemberZones.

#include <cstdint>
#include <vector>

namespace vantrel {

inline constexpr int kMdLinear = -1;
// RAID0 layouts of arrays in several zones (0: not said, read as the original).
inline constexpr std::uint32_t kRaid0OriginalLayout = 1;
inline constexpr std::uint32_t kRaid0AlternateLayout = 2;

struct MdGeometry {
  int level = 0;             // kMdLinear, 0, 1, 4, 5, 6 or 10
  std::uint32_t layout = 0;  // the superblock's layout number
  std::uint32_t raidDisks = 0;
  std::uint64_t chunkSectors = 0;   // unused for RAID1; a linear array's rounding (or 0)
  std::uint64_t memberSectors = 0;  // data sectors used on each member
  // RAID0 and linear: the data sectors each role offers, where the members differ (empty:
  // memberSectors each).
  std::vector<std::uint64_t> roleSectors = {};
};

inline constexpr std::uint32_t kMaxArrayMembers = 64;

// One place that holds an array sector.
struct MemberPlace {
  std::uint32_t role = 0;
  std::uint64_t sector = 0;  // on the member, from the start of its data area
};

}  // namespace vantrel
