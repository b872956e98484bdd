#pragma once
// The details rows a disk kept in a container adds below its disk rows: the container's
// kind, its files, and the hashes it stores. The window's disk details and the console's
// `disks` show the same rows.

#include <string>
#include <vector>

#include "disk/containers/ContainerSource.h"

namespace vantrel {

std::vector<std::string> ContainerDetailsRows(const ContainerDescription& container);

}  // namespace vantrel
