#pragma once
// The partition table of the wizard filled, emptied and chosen from, with its partition tree.

#include <cstdint>
#include <string>

#include "app/PartitionTable.h"
#include "app/TreeModel.h"
#include "recovery/PartitionChoice.h"

namespace vantrel {

struct WizardState;

// Stores the record, shows it in the partition tree and counts it. When the table already
// holds 100 records nothing is added and false is returned.
bool AddPartitionRecord(WizardState& state, std::uint64_t start, std::uint64_t size);

// True when the table holds a record of this start and size.
bool IsPartitionListed(const PartitionTable& table, std::uint64_t start, std::uint64_t size);

// Replaces the partition tree by an empty one whose root is "Disk " + currentDiskIndex,
// as the window does before the quick and the advanced search.
void ReplacePartitionTree(WizardState& state);

// Makes record index current: its start and size, the selected tree item, Next enabled and
// the three details rows (start, size, and what a build would make of the journal under
// the settings). False when there is no such record.
bool SelectPartition(WizardState& state, std::uint32_t index);

// The user clicked an item of the partition tree at stage 1: an item whose label does not
// begin with "Disk" selects the record it shows.
bool SelectPartitionItem(WizardState& state, TreeItemHandle item);

}  // namespace vantrel
