#pragma once
// The partitions of a disk where arrays and volume groups may live: the MBR's primary
// entries and the logical partitions of its extended chain, or the entries of a GPT. Only
// what stacks need: where each partition lies, numbered as Linux numbers them.

#include <cstdint>
#include <vector>

#include "disk/DiskSource.h"

namespace vantrel {

struct PartitionSpan {
  int number = 0;  // 1-4 primary (or GPT entry + 1), 5... logical
  std::uint64_t startSector = 0;
  std::uint64_t sectors = 0;
};

// Every partition whose table entry lies within the disk (an entry reaching past the end is
// cut at it); extended containers themselves are left out.
std::vector<PartitionSpan> ListPartitionSpans(DiskSource& disk);

}  // namespace vantrel
