#include "stacks/ManualArrayAssembly.h"

#include <algorithm>
#include <limits>

#include "disk/SectorReader.h"
#include "stacks/PartitionSlices.h"
#include "stacks/SourceSlice.h"

namespace vantrel {

namespace {

std::shared_ptr<DiskSource> Borrowed(DiskSource* source) {
  return std::shared_ptr<DiskSource>(source, [](DiskSource*) {});
}

}  // namespace

std::optional<MemberContainer> ResolveMember(const DiskNameTable& names, std::size_t givenDisks,
                                             const ManualMember& member, std::string& problem) {
  DiskSource* disk = member.disk < givenDisks ? names.Source(member.disk) : nullptr;
  const std::string name = DiskNameTable::DiskName(member.disk);
  if (disk == nullptr || !disk->Size()) {
    problem = "there is no given disk " + std::to_string(member.disk) + " to be a member (" +
              std::to_string(givenDisks) + " given)";
    return std::nullopt;
  }
  const DiskEntry& entry = *names.Entry(member.disk);
  std::vector<std::string> paths = entry.readsFrom.empty() ? std::vector<std::string>{entry.path} : entry.readsFrom;
  if (member.partition == 0) return MemberContainer{name, Borrowed(disk), std::move(paths), member};
  for (const PartitionSpan& span : ListPartitionSpans(*disk))
    if (span.number == member.partition)
      return MemberContainer{name + " partition " + std::to_string(span.number),
                             std::make_shared<SourceSlice>(*disk, span.startSector * kSectorSize,
                                                           span.sectors * kSectorSize),
                             std::move(paths), member};
  problem = name + " has no partition " + std::to_string(member.partition);
  return std::nullopt;
}

std::unique_ptr<MdArraySource> MakeManualArray(const ManualArrayParameters& parameters,
                                               const std::vector<std::optional<MemberContainer>>& members,
                                               StackDescription description) {
  std::uint64_t smallest = std::numeric_limits<std::uint64_t>::max();
  std::vector<std::optional<MdMemberData>> roles;
  std::vector<std::string> paths;
  for (const auto& member : members) {
    if (!member) {
      roles.emplace_back();
      continue;
    }
    const std::uint64_t size = member->source->Size().value_or(0);
    if (size <= parameters.dataOffsetBytes) return nullptr;
    smallest = std::min(smallest, size - parameters.dataOffsetBytes);
    roles.push_back(MdMemberData{member->source, parameters.dataOffsetBytes});
    for (const std::string& path : member->paths)
      if (std::find(paths.begin(), paths.end(), path) == paths.end()) paths.push_back(path);
  }
  const MdGeometry geometry = ManualGeometry(parameters, smallest);
  if (GeometryProblem(geometry)) return nullptr;
  return std::make_unique<MdArraySource>(geometry, std::move(roles), std::move(description), std::move(paths));
}

ManualArrayResult AssembleManualArray(const DiskNameTable& names, std::size_t givenDisks,
                                      const ManualArrayParameters& parameters, std::size_t number) {
  ManualArrayResult result;
  const std::string text = ManualArrayText(parameters);
  std::vector<std::optional<MemberContainer>> members;
  StackDescription description;
  description.kind = "md";
  description.name = "manual-" + std::to_string(number);
  description.level = "raid" + std::to_string(parameters.level);
  description.chunkBytes = parameters.chunkBytes;
  description.layout = ManualLayoutName(parameters.level, parameters.layout);
  std::vector<std::string> missing;
  for (std::size_t role = 0; role < parameters.members.size(); ++role) {
    const ManualMember& member = parameters.members[role];
    const std::string roleText = " (role " + std::to_string(role) + ")";
    if (member.missing) {
      members.emplace_back();
      missing.push_back(std::to_string(role));
      description.members.push_back("(missing)" + roleText);
      continue;
    }
    std::string problem;
    auto container = ResolveMember(names, givenDisks, member, problem);
    if (!container) {
      result.problem = "--raid " + text + ": " + problem;
      return result;
    }
    description.members.push_back(container->label + roleText);
    result.memberLabels.push_back(container->label);
    members.push_back(std::move(container));
  }
  description.state = "assembled by hand (--raid " + text + ")";
  if (!missing.empty()) {
    description.state += "; degraded: role" + std::string(missing.size() > 1 ? "s " : " ");
    for (std::size_t i = 0; i < missing.size(); ++i) description.state += (i > 0 ? ", " : "") + missing[i];
    description.state += " missing";
  }
  result.array = MakeManualArray(parameters, members, std::move(description));
  if (!result.array) result.problem = "--raid " + text + ": a member is no larger than the data offset and a chunk";
  return result;
}

}  // namespace vantrel
