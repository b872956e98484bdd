#pragma once
// An array described by hand put together over the given disks of the table: each member
// is a disk or one of its partitions, read from the description's data offset on.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "disk/DiskNameTable.h"
#include "stacks/ManualArray.h"
#include "stacks/MdArraySource.h"

namespace vantrel {

// A disk or a partition of one that may be a member.
struct MemberContainer {
  std::string label;  // "Disk0", "Disk0 partition 1"
  std::shared_ptr<DiskSource> source;
  std::vector<std::string> paths;  // the given disks it reads
  ManualMember place;              // which disk, and which of its partitions
};

// Disk `member.disk` of the first `givenDisks` of the table, or its partition; nothing (and
// why) when there is no such disk or partition.
std::optional<MemberContainer> ResolveMember(const DiskNameTable& names, std::size_t givenDisks,
                                             const ManualMember& member, std::string& problem);

struct ManualArrayResult {
  std::unique_ptr<MdArraySource> array;
  std::vector<std::string> memberLabels;  // of the members present
  std::string problem;                    // why it was not put together, when array is empty
};

// The array `parameters`, named "manual-<number>"; its members must be among the first
// `givenDisks` of the table and larger than the data offset.
ManualArrayResult AssembleManualArray(const DiskNameTable& names, std::size_t givenDisks,
                                      const ManualArrayParameters& parameters, std::size_t number);

// The array over members already resolved (an empty entry is a missing member); nothing when a
// member is smaller than the data offset and a chunk.
std::unique_ptr<MdArraySource> MakeManualArray(const ManualArrayParameters& parameters,
                                               const std::vector<std::optional<MemberContainer>>& members,
                                               StackDescription description);

}  // namespace vantrel
