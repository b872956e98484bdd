#pragma once
// The raid search as a step: the arrays the disks given (those listed before the first array
// or logical volume) may have made, when their md superblocks are gone.

#include <cstddef>

#include "base/StopToken.h"
#include "disk/DiskNameTable.h"
#include "recovery/DiskStacks.h"
#include "reiserfs/search/RaidSearch.h"

namespace vantrel {

// How many disks of the table were given: those before the first array or logical volume.
std::size_t GivenDiskCount(const DiskNameTable& disks);

// The raid search over the given disks of the table, until stop.
RaidSearchResult SearchArraysOfGivenDisks(const DiskNameTable& disks, const StopToken& stop,
                                          RaidSearchProgress& progress);

}  // namespace vantrel
