#pragma once
// Widths of a list's columns in the room its view has: the widths the view asks for when
// they fit, else each column keeps what its texts need and the rest is shared by what the
// columns asked for beyond that.

#include <vector>

namespace vantrel {

// preferred[i] and needed[i] are column i's asked-for and least useful widths, room the
// width inside the view. The result has one width per column and adds up to at most room
// (when even the needs do not fit, they are scaled down alike).
std::vector<int> FitColumnWidths(const std::vector<int>& preferred, const std::vector<int>& needed, int room);

}  // namespace vantrel
