#include "stacks/MemberZones.h"

#include <algorithm>

namespace vantrel {

namespace {

// What role offers, cut to whole chunks as the driver cuts it.
std::uint64_t OfferedSectors(const MdGeometry& g, std::uint32_t role) {
  const std::uint64_t sectors = role < g.roleSectors.size() ? g.roleSectors[role] : g.memberSectors;
  return g.chunkSectors != 0 ? sectors / g.chunkSectors * g.chunkSectors : sectors;
}

std::uint64_t ZoneStart(const std::vector<StripZone>& zones, std::size_t z) {
  return z == 0 ? 0 : zones[z - 1].arrayEnd;
}

// The member whose chunk number is `chunk` in a zone of n members: the driver's original
// layout counts chunks from the start of the array, the alternate one from the zone's.
bool CountsFromZone(const MdGeometry& g) { return g.layout == kRaid0AlternateLayout; }

}  // namespace

std::vector<StripZone> MemberZonesOf(const MdGeometry& g) {
  std::vector<StripZone> zones;
  if (g.level == kMdLinear) {
    std::uint64_t end = 0;
    for (std::uint32_t role = 0; role < g.raidDisks; ++role) {
      end += OfferedSectors(g, role);
      zones.push_back({end, 0, {role}});
    }
    return zones;
  }
  if (g.level != 0 || g.chunkSectors == 0) return zones;
  std::uint64_t memberStart = 0;
  std::uint64_t end = 0;
  for (;;) {
    StripZone zone{0, memberStart, {}};
    std::uint64_t smallest = 0;
    for (std::uint32_t role = 0; role < g.raidDisks; ++role) {
      const std::uint64_t offered = OfferedSectors(g, role);
      if (offered <= memberStart) continue;
      zone.roles.push_back(role);
      smallest = zone.roles.size() == 1 ? offered : std::min(smallest, offered);
    }
    if (zone.roles.empty()) return zones;
    end += (smallest - memberStart) * zone.roles.size();
    zone.arrayEnd = end;
    zones.push_back(std::move(zone));
    memberStart = smallest;
  }
}

std::optional<MemberPlace> PlaceInZones(const MdGeometry& g, const std::vector<StripZone>& zones,
                                        std::uint64_t arraySector) {
  const auto found = std::upper_bound(zones.begin(), zones.end(), arraySector,
                                      [](std::uint64_t sector, const StripZone& zone) {
                                        return sector < zone.arrayEnd;
                                      });
  if (found == zones.end()) return std::nullopt;
  const auto z = static_cast<std::size_t>(found - zones.begin());
  const std::uint64_t offset = arraySector - ZoneStart(zones, z);
  if (g.level == kMdLinear) return MemberPlace{found->roles.front(), offset};
  const std::uint64_t n = found->roles.size();
  const std::uint64_t chunkInZone = offset / g.chunkSectors;
  const std::uint64_t counted = CountsFromZone(g) ? chunkInZone : arraySector / g.chunkSectors;
  return MemberPlace{found->roles[counted % n],
                     found->memberStart + chunkInZone / n * g.chunkSectors + offset % g.chunkSectors};
}

std::optional<std::uint64_t> ArraySectorInZones(const MdGeometry& g, const std::vector<StripZone>& zones,
                                                std::uint32_t role, std::uint64_t memberSector) {
  for (std::size_t z = 0; z < zones.size(); ++z) {
    const StripZone& zone = zones[z];
    const auto at = std::find(zone.roles.begin(), zone.roles.end(), role);
    if (at == zone.roles.end() || memberSector < zone.memberStart) continue;
    const std::uint64_t n = zone.roles.size();
    const std::uint64_t zoneSectors = zone.arrayEnd - ZoneStart(zones, z);
    if (memberSector - zone.memberStart >= zoneSectors / n) continue;
    if (g.level == kMdLinear) return ZoneStart(zones, z) + memberSector;
    const std::uint64_t memberChunk = (memberSector - zone.memberStart) / g.chunkSectors;
    const auto index = static_cast<std::uint64_t>(at - zone.roles.begin());
    const std::uint64_t zoneChunk = ZoneStart(zones, z) / g.chunkSectors;
    const std::uint64_t shift = CountsFromZone(g) ? index : (index + n - zoneChunk % n) % n;
    return ZoneStart(zones, z) + (memberChunk * n + shift) * g.chunkSectors + memberSector % g.chunkSectors;
  }
  return std::nullopt;
}

}  // namespace vantrel
