#include "stacks/StackAssembly.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "disk/SectorReader.h"
#include "stacks/DdfMembership.h"
#include "stacks/ForeignRaidMetadata.h"
#include "stacks/LogicalVolumeSource.h"
#include "stacks/LvmLabel.h"
#include "stacks/ManualArrayAssembly.h"
#include "stacks/MdAssembly.h"
#include "stacks/PartitionSlices.h"
#include "stacks/SourceSlice.h"

namespace vantrel {

namespace {

constexpr std::uint64_t kSectorBytes = kSectorSize;

// A place that may hold a member or a physical volume: a disk, or a partition of one.
struct Container {
  std::string label;               // "Disk0", "Disk0 partition 1"
  std::vector<std::string> paths;  // the given disks it reads
  std::shared_ptr<DiskSource> source;
  std::size_t disk = 0;
  std::uint64_t startByte = 0;  // on that disk
};

std::shared_ptr<DiskSource> Borrowed(DiskSource* source) {
  return std::shared_ptr<DiskSource>(source, [](DiskSource*) {});
}

std::vector<std::string> PathsOf(const DiskEntry& entry) {
  return entry.readsFrom.empty() ? std::vector<std::string>{entry.path} : entry.readsFrom;
}

void AddPaths(std::vector<std::string>& into, const std::vector<std::string>& paths) {
  for (const std::string& path : paths)
    if (std::find(into.begin(), into.end(), path) == into.end()) into.push_back(path);
}

// The partitions of disk n first, then the disk itself.
std::vector<Container> ContainersOf(const DiskNameTable& names, std::size_t n) {
  std::vector<Container> containers;
  DiskSource* disk = names.Source(n);
  if (disk == nullptr || !disk->Size()) return containers;
  const std::string name = DiskNameTable::DiskName(n);
  const std::vector<std::string> paths = PathsOf(*names.Entry(n));
  for (const PartitionSpan& span : ListPartitionSpans(*disk)) {
    const std::uint64_t start = span.startSector * kSectorBytes;
    containers.push_back({name + " partition " + std::to_string(span.number), paths,
                          std::make_shared<SourceSlice>(*disk, start, span.sectors * kSectorBytes), n, start});
  }
  containers.push_back({name, paths, Borrowed(disk), n, 0});
  return containers;
}

std::string SizeText(std::uint64_t bytes) {
  if (bytes % (std::uint64_t{1024} * 1024) == 0) return std::to_string(bytes / (std::uint64_t{1024} * 1024)) + " MiB";
  return std::to_string(bytes / 1024) + " KiB";
}

// Adds a put-together disk to the table; false (and a note) when the table is full.
bool AddDisk(DiskNameTable& names, DiskInfoStore& info, std::unique_ptr<StackedDiskSource> source,
             std::vector<std::string>& notes) {
  const StackDescription& description = source->Description();
  const std::string path = (description.kind == "md" ? "md:" : "lvm:") + description.name;
  const std::string model = description.kind == "md" ? "md " + description.level + " " + description.name
                                                     : "LVM2 " + description.name;
  const std::string media = description.kind == "md" ? "Assembled md array" : "LVM2 logical volume";
  const std::uint64_t size = source->Size().value_or(0);
  std::vector<std::string> paths = source->UnderlyingPaths();
  const int n = names.Add({path, {}, std::move(source), std::move(paths)});
  if (n < 0) {
    notes.push_back(path + ": only " + std::to_string(DiskNameTable::kMaxDisks) + " disks can be listed");
    return false;
  }
  RecordDiskGeometry(info, DiskNameTable::DiskName(static_cast<std::size_t>(n)), StandardGeometry(size, model, media));
  return true;
}

// Finds the md members among the containers, and adds the arrays they make up. Returns
// the containers that are members of an array added.
std::set<const DiskSource*> AddArrays(DiskNameTable& names, DiskInfoStore& info,
                                      const std::vector<Container>& containers, std::vector<std::string>& notes) {
  std::vector<MdMemberCandidate> candidates;
  // A 0.90 superblock of a partition that ends where its disk ends is also at the disk's
  // place for one: it belongs to the partition, found first.
  std::set<std::pair<std::size_t, std::uint64_t>> seen;
  std::set<std::tuple<std::size_t, std::uint64_t, ArrayUuid>> seenDdf;
  for (const Container& container : containers) {
    auto superblock = FindMdSuperblock(*container.source);
    if (!superblock) {
      // A DDF member stands in each of its arrays as an md member would.
      std::vector<MdMemberSuperblock> memberships = FindDdfMemberships(*container.source);
      for (MdMemberSuperblock& membership : memberships) {
        const auto place = std::make_tuple(container.disk, container.startByte + membership.superOffset * kSectorBytes,
                                           membership.arrayUuid);
        if (seenDdf.insert(place).second)
          candidates.push_back({container.label, container.paths.front(), container.source, std::move(membership)});
      }
      if (memberships.empty())
        if (const auto foreign = ForeignRaidContainer(*container.source))
          notes.push_back(container.label + " is a member of " + *foreign + ", whose arrays are not read");
      continue;
    }
    const auto place = std::make_pair(container.disk, container.startByte + superblock->superOffset * kSectorBytes);
    if (!seen.insert(place).second) continue;
    candidates.push_back({container.label, container.paths.front(), container.source, std::move(*superblock)});
  }
  std::set<const DiskSource*> used;
  MdAssemblyResult assembled = AssembleMdArrays(candidates);
  for (auto& problem : assembled.problems) notes.push_back(std::move(problem));
  for (std::size_t i = 0; i < assembled.arrays.size(); ++i) {
    std::vector<std::string> paths;
    for (const DiskSource* member : assembled.usedContainers[i]) {
      used.insert(member);
      for (const Container& container : containers)
        if (container.source.get() == member) AddPaths(paths, container.paths);
    }
    assembled.arrays[i]->SetUnderlyingPaths(std::move(paths));
    if (!AddDisk(names, info, std::move(assembled.arrays[i]), notes)) break;
  }
  return used;
}

struct FoundPhysicalVolume {
  const Container* container = nullptr;
  std::string uuid;
  std::optional<LvmVolumeGroup> group;
};

std::string SegmentText(const LvmSegment& segment, const LvmVolumeGroup& group,
                        const std::vector<const FoundPhysicalVolume*>& pvs) {
  std::string text = "extents " + std::to_string(segment.startExtent) + "-" +
                     std::to_string(segment.startExtent + segment.extentCount - 1) + ": ";
  text += segment.stripes.size() > 1 ? "striped over " + std::to_string(segment.stripes.size()) + ", " +
                                           SizeText(segment.stripeSectors * kSectorBytes) + " stripes, "
                                     : "linear, ";
  for (std::size_t i = 0; i < segment.stripes.size(); ++i) {
    const LvmStripe& stripe = segment.stripes[i];
    text += (i > 0 ? "; " : "") + group.physicalVolumes[stripe.pv].key + " (" + pvs[stripe.pv]->container->label +
            ") from extent " + std::to_string(stripe.firstExtent);
  }
  return text;
}

void AddLogicalVolumes(DiskNameTable& names, DiskInfoStore& info, const std::vector<Container>& containers,
                       std::vector<std::string>& notes) {
  std::vector<FoundPhysicalVolume> found;
  for (const Container& container : containers) {
    const auto label = FindLvmLabel(*container.source);
    if (!label) continue;
    found.push_back({&container, label->uuid, ReadNewestMetadata(*container.source, *label)});
  }
  // The newest metadata of each group, over all its physical volumes.
  std::vector<std::string> order;
  std::map<std::string, LvmVolumeGroup> groups;
  for (const FoundPhysicalVolume& pv : found) {
    if (!pv.group) continue;
    auto [at, added] = groups.try_emplace(pv.group->uuid, *pv.group);
    if (added)
      order.push_back(pv.group->uuid);
    else if (pv.group->seqno > at->second.seqno)
      at->second = *pv.group;
  }
  for (const std::string& uuid : order) {
    const LvmVolumeGroup& group = groups.at(uuid);
    std::vector<const FoundPhysicalVolume*> pvs;
    std::vector<LvmExtentSource> sources;
    std::vector<std::string> missing;
    for (const LvmPhysicalVolumeEntry& entry : group.physicalVolumes) {
      const auto pv = std::find_if(found.begin(), found.end(), [&](const auto& f) { return f.uuid == entry.uuid; });
      pvs.push_back(pv == found.end() ? nullptr : &*pv);
      sources.push_back({pv == found.end() ? nullptr : pv->container->source, entry.peStartSectors * kSectorBytes});
      if (pv == found.end()) missing.push_back(entry.key);
    }
    for (const LvmLogicalVolume& volume : group.logicalVolumes) {
      const std::string name = group.name + "/" + volume.name;
      if (!volume.unsupported.empty()) {
        notes.push_back("logical volume " + name + ": " + volume.unsupported + " are not read");
        continue;
      }
      StackDescription description;
      description.kind = "lv";
      description.name = name;
      description.uuid = volume.uuid;
      description.volumeGroup = group.name;
      description.level = "linear";
      std::vector<std::string> paths;
      std::set<std::size_t> usedPvs;
      bool complete = true;
      for (const LvmSegment& segment : volume.segments) {
        if (segment.stripes.size() > 1 && description.level == "linear") {
          description.level = "striped";
          description.chunkBytes = segment.stripeSectors * kSectorBytes;
        }
        for (const LvmStripe& stripe : segment.stripes) {
          usedPvs.insert(stripe.pv);
          complete = complete && pvs[stripe.pv] != nullptr;
        }
      }
      if (!complete) {
        notes.push_back("logical volume " + name + " lies on a physical volume that is not there (" + [&] {
          std::string list;
          for (const auto& key : missing) list += (list.empty() ? "" : ", ") + key;
          return list;
        }() + ")");
        continue;
      }
      for (const std::size_t pv : usedPvs) {
        description.members.push_back(pvs[pv]->container->label + " (" + group.physicalVolumes[pv].key + ")");
        AddPaths(paths, pvs[pv]->container->paths);
      }
      for (const LvmSegment& segment : volume.segments)
        description.segments.push_back(SegmentText(segment, group, pvs));
      description.state = missing.empty() ? "complete"
                                          : "complete; its volume group misses " + std::to_string(missing.size()) +
                                                " physical volume(s)";
      auto source = std::make_unique<LogicalVolumeSource>(group.extentSectors, volume.segments, sources,
                                                          std::move(description), std::move(paths));
      if (!AddDisk(names, info, std::move(source), notes)) return;
    }
  }
}

// Adds the arrays described by hand; returns the labels of their members.
std::set<std::string> AddArraysByHand(DiskNameTable& names, DiskInfoStore& info, std::size_t given,
                                      const std::vector<ManualArrayParameters>& byHand, std::vector<std::string>& notes,
                                      std::vector<std::string>& problems) {
  std::set<std::string> members;
  for (std::size_t i = 0; i < byHand.size(); ++i) {
    ManualArrayResult assembled = AssembleManualArray(names, given, byHand[i], i + 1);
    if (!assembled.array) {
      problems.push_back(std::move(assembled.problem));
      continue;
    }
    members.insert(assembled.memberLabels.begin(), assembled.memberLabels.end());
    if (!AddDisk(names, info, std::move(assembled.array), notes)) break;
  }
  return members;
}

}  // namespace

std::vector<std::string> AddStackedDisks(DiskNameTable& names, DiskInfoStore& info,
                                         const std::vector<ManualArrayParameters>& byHand,
                                         std::vector<std::string>* byHandProblems) {
  std::vector<std::string> notes;
  const std::size_t given = names.Count();
  std::vector<Container> containers;
  for (std::size_t n = 0; n < given; ++n)
    for (Container& container : ContainersOf(names, n)) containers.push_back(std::move(container));
  const std::set<const DiskSource*> members = AddArrays(names, info, containers, notes);
  std::vector<std::string> problems;
  const std::set<std::string> membersByHand = AddArraysByHand(names, info, given, byHand, notes, problems);
  if (byHandProblems != nullptr) *byHandProblems = std::move(problems);

  // Physical volumes: on the disks and partitions that are no array member, and on the arrays.
  std::vector<Container> volumes;
  for (Container& container : containers)
    if (members.count(container.source.get()) == 0 && membersByHand.count(container.label) == 0)
      volumes.push_back(std::move(container));
  for (std::size_t n = given; n < names.Count(); ++n)
    volumes.push_back({DiskNameTable::DiskName(n), PathsOf(*names.Entry(n)), Borrowed(names.Source(n)), n, 0});
  AddLogicalVolumes(names, info, volumes, notes);
  return notes;
}

OpenedDisks OpenDisksAndStacks(DiskNameTable& names, DiskInfoStore& info, const std::vector<NamedDisk>& named,
                               const std::string& sysBlockRoot, const std::vector<ManualArrayParameters>& byHand) {
  OpenedDisks opened;
  opened.problems = OpenDisks(names, info, named, sysBlockRoot);
  opened.stackNotes = AddStackedDisks(names, info, byHand, &opened.byHandProblems);
  return opened;
}

const StackDescription* StackOf(const DiskNameTable& names, std::size_t n) {
  const auto* stacked = dynamic_cast<const StackedDiskSource*>(names.Source(n));
  return stacked != nullptr ? &stacked->Description() : nullptr;
}

}  // namespace vantrel
