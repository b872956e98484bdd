#pragma once
// Where the parent of a differencing image lies: the name the child stores, as it stands
// when that file exists, else the file of that name beside the child (a name stored by
// another machine, "C:\VMs\base.vhdx" or "/srv/vm/base.qcow2", is looked for there).

#include <cstddef>
#include <string>

namespace vantrel {

// Parents of parents are followed this deep at most: a loop of images ends there.
inline constexpr std::size_t kMaxParentDepth = 8;

// The parent's path, or empty when neither place holds a file.
std::string FindParentImage(const std::string& childPath, const std::string& storedName);

}  // namespace vantrel
