#pragma once
// The ReiserFS partitions found on the current disk, as the window lists them: record n is
// shown in the partition tree as "ReiserFS " + n.

#include <array>
#include <cstdint>

#include "app/TreeModel.h"
#include "recovery/PartitionChoice.h"

namespace vantrel {

struct ListedPartition : PartitionRecord {
  TreeItemHandle treeItem = kNoTreeItem;
};

struct PartitionTable {
  static constexpr std::uint32_t kCapacity = kMaxPartitions;
  std::array<ListedPartition, kCapacity> records{};
  std::uint32_t count = 0;
};

}  // namespace vantrel
