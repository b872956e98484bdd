#include "stacks/MdGeometry.h"

#include <algorithm>

#include "stacks/MemberZones.h"

namespace vantrel {

namespace {

// RAID5 and RAID6 layout numbers of the md driver.
enum ParityLayout : std::uint32_t {
  kLeftAsymmetric = 0,
  kRightAsymmetric = 1,
  kLeftSymmetric = 2,
  kRightSymmetric = 3,
  kParityFirst = 4,
  kParityLast = 5,
  // RAID6 arrays converted from RAID5: a RAID5 layout over all members but the last, Q on it.
  kLeftAsymmetric6 = 16,
  kRightAsymmetric6 = 17,
  kLeftSymmetric6 = 18,
  kRightSymmetric6 = 19,
  kParityFirst6 = 20,
};

constexpr std::uint64_t kMaxChunkSectors = std::uint64_t{1} << 22;  // 2 GiB

bool IsPowerOfTwo(std::uint64_t n) { return n != 0 && (n & (n - 1)) == 0; }

bool IsParityLevel(int level) { return level == 4 || level == 5 || level == 6; }

// RAID0 over members that differ, and linear arrays: laid out in zones.
bool InZones(const MdGeometry& g) { return g.level == kMdLinear || (g.level == 0 && !g.roleSectors.empty()); }

struct Raid10Shape {
  std::uint32_t near = 1;
  std::uint32_t far = 1;
  bool offset = false;
  std::uint32_t farSetSize = 0;
};

Raid10Shape ShapeOf(const MdGeometry& g) {
  Raid10Shape shape;
  shape.near = g.layout & 0xff;
  shape.far = (g.layout >> 8) & 0xff;
  shape.offset = (g.layout & 0x10000) != 0;
  shape.farSetSize = (g.layout >> 17) != 0 ? shape.near * shape.far : g.raidDisks;
  return shape;
}

std::uint32_t DataDisks(const MdGeometry& g) {
  switch (g.level) {
    case 0: return g.raidDisks;
    case 4:
    case 5: return g.raidDisks - 1;
    case 6: return g.raidDisks - 2;
    default: return 1;
  }
}

// Chunks per member that RAID10 spreads its copies over, and the distance between far copies.
struct Raid10Extent {
  std::uint64_t arrayChunks = 0;
  std::uint64_t strideSectors = 0;
};

Raid10Extent ExtentOf(const MdGeometry& g, const Raid10Shape& s) {
  Raid10Extent extent;
  std::uint64_t chunks = g.memberSectors / g.chunkSectors / s.far;
  chunks = chunks * g.raidDisks / s.near;
  extent.arrayChunks = chunks;
  const std::uint64_t copies = std::uint64_t{s.near} * s.far;
  std::uint64_t perMember = (chunks * copies + g.raidDisks - 1) / g.raidDisks;
  extent.strideSectors = s.offset ? g.chunkSectors : perMember / s.far * g.chunkSectors;
  return extent;
}

}  // namespace

std::optional<std::string> GeometryProblem(const MdGeometry& g) {
  if (g.raidDisks == 0 || g.raidDisks > kMaxArrayMembers)
    return "an array of " + std::to_string(g.raidDisks) + " members";
  if (!g.roleSectors.empty() && g.roleSectors.size() != g.raidDisks) return "member sizes that do not fit";
  if (g.level == kMdLinear)
    return g.chunkSectors == 0 || IsPowerOfTwo(g.chunkSectors)
               ? std::nullopt
               : std::optional<std::string>("a linear rounding of " + std::to_string(g.chunkSectors) + " sectors");
  if (g.memberSectors == 0 && g.roleSectors.empty()) return "members without data";
  if (g.level == 1) return std::nullopt;
  if (g.level != 0 && !IsParityLevel(g.level) && g.level != 10)
    return "RAID level " + std::to_string(g.level) + " is not read";
  if (!IsPowerOfTwo(g.chunkSectors) || g.chunkSectors < 8 || g.chunkSectors > kMaxChunkSectors)
    return "a chunk of " + std::to_string(g.chunkSectors) + " sectors";
  if (g.level == 0 && !g.roleSectors.empty())
    return MemberZonesOf(g).empty() ? std::optional<std::string>("members smaller than a chunk") : std::nullopt;
  if (g.memberSectors < g.chunkSectors) return "members smaller than a chunk";
  if (g.level == 5 && (g.raidDisks < 2 || g.layout > kParityLast)) return "RAID5 layout " + std::to_string(g.layout);
  if (g.level == 4 && g.raidDisks < 2) return "RAID4 of one member";
  if (g.level == 6) {
    const bool known = g.layout <= kParityLast || (g.layout >= kLeftAsymmetric6 && g.layout <= kParityFirst6);
    if (g.raidDisks < 4 || !known)
      return "RAID6 layout " + std::to_string(g.layout) + " over " + std::to_string(g.raidDisks);
  }
  if (g.level == 10) {
    const Raid10Shape s = ShapeOf(g);
    const std::uint64_t copies = std::uint64_t{s.near} * s.far;
    if (s.near == 0 || s.far == 0 || copies > g.raidDisks || s.farSetSize == 0 || s.farSetSize > g.raidDisks ||
        g.memberSectors / g.chunkSectors < s.far)
      return "RAID10 layout " + std::to_string(g.layout);
  }
  return std::nullopt;
}

std::uint64_t ArraySectors(const MdGeometry& g) {
  if (g.level == 1) return g.memberSectors;
  if (InZones(g)) {
    const std::vector<StripZone> zones = MemberZonesOf(g);
    return zones.empty() ? 0 : zones.back().arrayEnd;
  }
  const std::uint64_t chunks = g.memberSectors / g.chunkSectors;
  if (g.level == 10) return ExtentOf(g, ShapeOf(g)).arrayChunks * g.chunkSectors;
  return chunks * g.chunkSectors * DataDisks(g);
}

std::uint32_t RedundantMembers(const MdGeometry& g) {
  switch (g.level) {
    case 1: return g.raidDisks - 1;
    case 4:
    case 5: return 1;
    case 6: return 2;
    case 10: {
      const Raid10Shape s = ShapeOf(g);
      return s.near * s.far - 1;  // at least this many, wherever they are
    }
    default: return 0;
  }
}

std::string LayoutName(const MdGeometry& g) {
  if (g.level == 10) {
    const Raid10Shape s = ShapeOf(g);
    std::string name = "near=" + std::to_string(s.near);
    if (s.far > 1) name += (s.offset ? ", offset=" : ", far=") + std::to_string(s.far);
    return name;
  }
  if (g.level == 4) return "parity-last";
  if (g.level == 0 && MemberZonesOf(g).size() > 1)
    return g.layout == kRaid0AlternateLayout ? "alternate zones" : "original zones";
  if (g.level != 5 && g.level != 6) return {};
  static const char* const kNames[] = {"left-asymmetric", "right-asymmetric", "left-symmetric",
                                       "right-symmetric", "parity-first",     "parity-last"};
  if (g.layout <= kParityLast) return kNames[g.layout];
  if (g.layout >= kLeftAsymmetric6 && g.layout <= kParityFirst6)
    return std::string(kNames[g.layout - kLeftAsymmetric6]) + "-6";
  return "layout " + std::to_string(g.layout);
}

ParityRowRoles RowRoles(const MdGeometry& g, std::uint64_t row) {
  ParityRowRoles roles;
  const std::uint32_t n = g.raidDisks;
  const std::uint32_t dataDisks = DataDisks(g);
  std::uint32_t layout = g.level == 4 ? static_cast<std::uint32_t>(kParityLast) : g.layout;
  // Members that take part in the rotation: all of them, or all but the last for the -6 layouts.
  std::uint32_t rotating = n;
  bool qOnLast = false;
  if (g.level == 6 && layout >= kLeftAsymmetric6) {
    layout -= kLeftAsymmetric6;
    rotating = n - 1;
    qOnLast = true;
  }
  const bool raid6Rotating = g.level == 6 && !qOnLast;
  const std::uint32_t rotatingData = raid6Rotating ? n - 2 : rotating - 1;
  const auto turn = static_cast<std::uint32_t>(row % rotating);
  std::uint32_t p = 0;
  switch (layout) {
    case kLeftAsymmetric:
    case kLeftSymmetric: p = rotating - 1 - turn; break;
    case kRightAsymmetric:
    case kRightSymmetric: p = turn; break;
    case kParityFirst: p = 0; break;
    default: p = rotatingData; break;  // parity last
  }
  roles.p = p;
  std::uint32_t q = 0;
  if (raid6Rotating) {
    q = layout == kParityFirst ? 1 : layout == kParityLast ? p + 1 : (p + 1) % n;
    roles.q = q;
  } else if (qOnLast) {
    q = n - 1;
    roles.q = q;
  }
  for (std::uint32_t d = 0; d < dataDisks; ++d) {
    std::uint32_t role = d;
    switch (layout) {
      case kLeftSymmetric:
      case kRightSymmetric: role = (p + (raid6Rotating ? 2 : 1) + d) % rotating; break;
      case kLeftAsymmetric:
      case kRightAsymmetric:
        if (raid6Rotating) {
          if (p == n - 1)
            role = d + 1;  // Q D D D P
          else if (d >= p)
            role = d + 2;  // D D P Q D
        } else if (d >= p) {
          role = d + 1;
        }
        break;
      case kParityFirst: role = d + (raid6Rotating ? 2 : 1); break;
      default: break;
    }
    roles.dataRoles.push_back(role);
  }
  // The syndrome takes the data members in turn from the one after Q.
  if (roles.q) {
    for (std::uint32_t i = 1; i <= n; ++i) {
      const std::uint32_t role = (*roles.q + i) % n;
      if (role != roles.p && role != *roles.q) roles.syndromeOrder.push_back(role);
    }
  } else {
    roles.syndromeOrder = roles.dataRoles;
  }
  return roles;
}

std::vector<MemberPlace> CopiesOf(const MdGeometry& g, std::uint64_t arraySector) {
  std::vector<MemberPlace> places;
  if (g.level == 1) {
    for (std::uint32_t role = 0; role < g.raidDisks; ++role) places.push_back({role, arraySector});
    return places;
  }
  if (InZones(g)) {
    if (const auto place = PlaceInZones(g, MemberZonesOf(g), arraySector)) places.push_back(*place);
    return places;
  }
  const std::uint64_t chunk = arraySector / g.chunkSectors;
  const std::uint64_t within = arraySector % g.chunkSectors;
  if (g.level == 0) {
    places.push_back({static_cast<std::uint32_t>(chunk % g.raidDisks), chunk / g.raidDisks * g.chunkSectors + within});
    return places;
  }
  if (IsParityLevel(g.level)) {
    const std::uint32_t dataDisks = DataDisks(g);
    const std::uint64_t row = chunk / dataDisks;
    const ParityRowRoles roles = RowRoles(g, row);
    places.push_back({roles.dataRoles[chunk % dataDisks], row * g.chunkSectors + within});
    return places;
  }
  // RAID10, as the md driver finds its copies.
  const Raid10Shape s = ShapeOf(g);
  const Raid10Extent extent = ExtentOf(g, s);
  const std::uint32_t n = g.raidDisks;
  const std::uint32_t lastSetStart = (n / s.farSetSize - 1) * s.farSetSize;
  const std::uint32_t lastSetSize = s.farSetSize + n % s.farSetSize;
  std::uint64_t stripe = chunk * s.near;
  auto dev = static_cast<std::uint32_t>(stripe % n);
  stripe /= n;
  if (s.offset) stripe *= s.far;
  std::uint64_t sector = within + stripe * g.chunkSectors;
  for (std::uint32_t copy = 0; copy < s.near; ++copy) {
    std::uint32_t d = dev;
    std::uint64_t at = sector;
    places.push_back({d, at});
    for (std::uint32_t f = 1; f < s.far; ++f) {
      const std::uint32_t set = d / s.farSetSize;
      d += s.near;
      if (n % s.farSetSize != 0 && d > lastSetStart) {
        d -= lastSetStart;
        d %= lastSetSize;
        d += lastSetStart;
      } else {
        d %= s.farSetSize;
        d += s.farSetSize * set;
      }
      at += extent.strideSectors;
      places.push_back({d, at});
    }
    if (++dev >= n) {
      dev = 0;
      sector += g.chunkSectors;
    }
  }
  return places;
}

std::optional<std::uint64_t> ArraySectorAt(const MdGeometry& g, std::uint32_t role, std::uint64_t memberSector) {
  if (role >= g.raidDisks || (!InZones(g) && memberSector >= g.memberSectors)) return std::nullopt;
  if (g.level == 1) return memberSector;
  if (InZones(g)) return ArraySectorInZones(g, MemberZonesOf(g), role, memberSector);
  const std::uint64_t memberChunk = memberSector / g.chunkSectors;
  const std::uint64_t within = memberSector % g.chunkSectors;
  std::optional<std::uint64_t> chunk;
  if (g.level == 0) {
    chunk = memberChunk * g.raidDisks + role;
  } else if (IsParityLevel(g.level)) {
    const ParityRowRoles roles = RowRoles(g, memberChunk);
    for (std::size_t i = 0; i < roles.dataRoles.size(); ++i)
      if (roles.dataRoles[i] == role) chunk = memberChunk * roles.dataRoles.size() + i;
  } else {
    // RAID10: the chunk whose first copy is here lies near one of the places the layouts
    // put it (near copies side by side, far copies a stride apart, offset copies a row
    // apart); each is tried.
    const Raid10Shape s = ShapeOf(g);
    const std::uint64_t n = g.raidDisks;
    const std::uint64_t strideChunks = std::max<std::uint64_t>(ExtentOf(g, s).strideSectors / g.chunkSectors, 1);
    const std::uint64_t centres[] = {memberChunk * n / s.near, memberChunk * n / (std::uint64_t{s.near} * s.far),
                                     memberChunk % strideChunks * n / s.near};
    for (const std::uint64_t centre : centres) {
      for (std::uint64_t c = centre > 2 * n ? centre - 2 * n : 0; c <= centre + 2 * n && !chunk; ++c) {
        const auto copies = CopiesOf(g, c * g.chunkSectors);
        if (copies.front().role == role && copies.front().sector == memberChunk * g.chunkSectors) chunk = c;
      }
    }
  }
  if (!chunk) return std::nullopt;
  const std::uint64_t sector = *chunk * g.chunkSectors + within;
  if (sector >= ArraySectors(g)) return std::nullopt;
  return sector;
}

std::uint64_t SectorsLeftInChunk(const MdGeometry& g, std::uint64_t arraySector) {
  if (g.level == 1) {
    const std::uint64_t size = ArraySectors(g);
    return arraySector < size ? size - arraySector : 0;
  }
  if (g.level == kMdLinear) {
    const std::vector<StripZone> zones = MemberZonesOf(g);
    for (const StripZone& zone : zones)
      if (arraySector < zone.arrayEnd) return zone.arrayEnd - arraySector;
    return 0;
  }
  return g.chunkSectors - arraySector % g.chunkSectors;
}

}  // namespace vantrel
