#pragma once
// The pieces of a split raw image, found from its first: "disk.001" (or ".000") is followed by
// "disk.002", "disk.003", ... (three digits or more) and "disk.aa" by "disk.ab", ... "disk.az",
// "disk.ba", ... (two letters, as split names them);
// the pieces are the files that follow without a gap.

#include <string>
#include <vector>

namespace vantrel {

// The pieces in order, the first being path itself; just path when it is no first piece
// or no second piece lies beside it.
std::vector<std::string> SplitPieces(const std::string& path);

// The name of the piece after path ("disk.009" -> "disk.010", "disk.az" -> "disk.ba"),
// or empty when its suffix is no piece number or has no successor.
std::string NextPieceName(const std::string& path);

}  // namespace vantrel
