#pragma once
// The details rows an array or a logical volume adds below its disk rows: level, chunk,
// layout, members and state; for a logical volume its volume group and segments. The
// window's disk details and the console's `disks` show the same rows.

#include <string>
#include <vector>

#include "stacks/StackedDiskSource.h"

namespace vantrel {

std::vector<std::string> StackDetailsRows(const StackDescription& stack);

}  // namespace vantrel
