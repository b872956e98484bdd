#include "stacks/MdAssembly.h"

#include <algorithm>
#include <map>

namespace vantrel {

namespace {

// md assembles members up to one event behind the freshest.
constexpr std::uint64_t kEventMargin = 1;

std::string LevelName(int level) { return level == kMdLinear ? "linear" : "raid" + std::to_string(level); }

bool SameShape(const MdGeometry& a, const MdGeometry& b) {
  return a.level == b.level && a.layout == b.layout && a.raidDisks == b.raidDisks && a.chunkSectors == b.chunkSectors;
}

// True when every chunk keeps a present copy (RAID10 loses data only when all copies of
// some chunk are gone; the pattern of copies repeats every raidDisks chunks of a row).
bool EveryChunkHasACopy(const MdGeometry& geometry, const std::vector<bool>& present) {
  if (geometry.level != 10) return true;
  const std::uint64_t probe = std::uint64_t{geometry.raidDisks} * 2 * geometry.chunkSectors;
  for (std::uint64_t sector = 0; sector < std::min(probe, ArraySectors(geometry)); sector += geometry.chunkSectors) {
    const auto copies = CopiesOf(geometry, sector);
    if (std::none_of(copies.begin(), copies.end(), [&](const MemberPlace& p) { return present[p.role]; })) return false;
  }
  return true;
}

std::string ArrayName(const MdMemberSuperblock& sb) {
  return sb.name.empty() ? "md-" + UuidText(sb.arrayUuid).substr(0, 8) : sb.name;
}

void AssembleOne(const std::vector<const MdMemberCandidate*>& group, MdAssemblyResult& result) {
  const MdMemberCandidate* freshest = *std::max_element(group.begin(), group.end(), [](const auto* a, const auto* b) {
    return a->superblock.events < b->superblock.events;
  });
  const MdMemberSuperblock& reference = freshest->superblock;
  MdGeometry geometry = reference.geometry;
  const std::string name = ArrayName(reference);
  if (const auto problem = GeometryProblem(geometry)) {
    result.problems.push_back("array " + name + ": " + *problem);
    return;
  }
  if (!reference.unsupported.empty()) {
    result.problems.push_back("array " + name + ": " + reference.unsupported + ", not assembled");
    return;
  }

  StackDescription description;
  description.kind = "md";
  description.name = name;
  description.uuid = UuidText(reference.arrayUuid);
  description.level = LevelName(geometry.level);
  description.chunkBytes = geometry.level == 1 ? 0 : geometry.chunkSectors * 512;
  description.layout = LayoutName(geometry);

  std::vector<const MdMemberCandidate*> byRole(geometry.raidDisks, nullptr);
  for (const MdMemberCandidate* candidate : group) {
    const MdMemberSuperblock& sb = candidate->superblock;
    std::string why;
    if (sb.events + kEventMargin < reference.events)
      why = "stale: events " + std::to_string(sb.events) + " < " + std::to_string(reference.events);
    else if (!SameShape(sb.geometry, geometry))
      why = "its superblock describes another shape of the array";
    else if (!sb.role)
      why = "spare or faulty";
    else if (sb.rebuilding)
      why = "its rebuild had not finished";
    else if (byRole[*sb.role] != nullptr && byRole[*sb.role]->superblock.events >= sb.events)
      why = "role " + std::to_string(*sb.role) + " is held by a fresher member";
    if (why.empty() && byRole[*sb.role] != nullptr)
      description.leftOut.push_back(byRole[*sb.role]->label + " (role " + std::to_string(*sb.role) +
                                    " is held by a fresher member)");
    if (!why.empty()) {
      description.leftOut.push_back(candidate->label + " (" + why + ")");
      continue;
    }
    byRole[*sb.role] = candidate;
  }

  std::vector<std::optional<MdMemberData>> roles(geometry.raidDisks);
  std::vector<bool> present(geometry.raidDisks, false);
  std::vector<std::string> missing;
  std::vector<std::string> paths;
  std::vector<const DiskSource*> used;
  bool clean = true;
  for (std::uint32_t role = 0; role < geometry.raidDisks; ++role) {
    const MdMemberCandidate* member = byRole[role];
    if (member == nullptr) {
      missing.push_back(std::to_string(role));
      description.members.push_back("(missing) role " + std::to_string(role));
      continue;
    }
    roles[role] = MdMemberData{member->container, member->superblock.dataOffset * 512};
    present[role] = true;
    clean = clean && member->superblock.clean;
    description.members.push_back(member->label + " (role " + std::to_string(role) + ")");
    used.push_back(member->container.get());
    if (std::find(paths.begin(), paths.end(), member->path) == paths.end()) paths.push_back(member->path);
  }
  // RAID0 and linear arrays use what each member offers, whichever member was the reference.
  if (geometry.level == 0 || geometry.level == kMdLinear) {
    geometry.roleSectors.assign(geometry.raidDisks, 0);
    for (std::uint32_t role = 0; role < geometry.raidDisks; ++role)
      if (byRole[role] != nullptr) geometry.roleSectors[role] = byRole[role]->superblock.dataSectors;
    description.layout = LayoutName(geometry);
  }
  // RAID10 reads on while any copy of every chunk is there, however many members are gone.
  const bool readable = geometry.level == 10 ? EveryChunkHasACopy(geometry, present)
                                             : missing.size() <= RedundantMembers(geometry);
  if (!readable) {
    result.problems.push_back("array " + name + " (" + description.level + "): " + std::to_string(missing.size()) +
                              " of " + std::to_string(geometry.raidDisks) + " members missing, it cannot be read");
    return;
  }
  if (missing.empty()) {
    description.state = clean ? "clean" : "active";
  } else {
    description.state = "degraded: role";
    description.state += missing.size() > 1 ? "s " : " ";
    for (std::size_t i = 0; i < missing.size(); ++i) description.state += (i > 0 ? ", " : "") + missing[i];
    description.state += " missing";
  }
  if (!description.leftOut.empty()) description.state += "; left out: " + std::to_string(description.leftOut.size());
  result.arrays.push_back(
      std::make_unique<MdArraySource>(geometry, std::move(roles), std::move(description), std::move(paths)));
  result.usedContainers.push_back(std::move(used));
}

}  // namespace

MdAssemblyResult AssembleMdArrays(const std::vector<MdMemberCandidate>& candidates) {
  // Groups in the order their first member was found, so that the numbering is stable.
  std::vector<ArrayUuid> order;
  std::map<ArrayUuid, std::vector<const MdMemberCandidate*>> groups;
  for (const MdMemberCandidate& candidate : candidates) {
    auto& group = groups[candidate.superblock.arrayUuid];
    if (group.empty()) order.push_back(candidate.superblock.arrayUuid);
    group.push_back(&candidate);
  }
  MdAssemblyResult result;
  for (const ArrayUuid& uuid : order) AssembleOne(groups[uuid], result);
  return result;
}

}  // namespace vantrel
