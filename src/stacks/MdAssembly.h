#pragma once
// Puts md arrays together from the member superblocks found: members are grouped by the
// array's UUID and placed by the role their superblock gives (never by the order the disks
// were named in); a member whose event count is behind the others', or that claims a role
// a fresher member holds, is left out and named.

#include <memory>
#include <string>
#include <vector>

#include "stacks/MdArraySource.h"
#include "stacks/MdSuperblock.h"

namespace vantrel {

struct MdMemberCandidate {
  std::string label;                      // "Disk0 partition 1"
  std::string path;                       // the given disk it is on
  std::shared_ptr<DiskSource> container;  // the partition or disk the superblock is on
  MdMemberSuperblock superblock;
};

struct MdAssemblyResult {
  std::vector<std::unique_ptr<MdArraySource>> arrays;
  // The containers each array uses, beside arrays.
  std::vector<std::vector<const DiskSource*>> usedContainers;
  std::vector<std::string> problems;  // arrays found that cannot be read, and why
};

MdAssemblyResult AssembleMdArrays(const std::vector<MdMemberCandidate>& candidates);

}  // namespace vantrel
