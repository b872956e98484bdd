#pragma once
// RAID metadata of formats the program does not assemble: SNIA's DDF (hardware RAID
// controllers, and mdadm's containers) and Intel Matrix Storage (IMSM). A disk that carries
// it is named in a note, so that it is never listed as a plain disk without a word.

#include <optional>
#include <string>

#include "disk/DiskSource.h"

namespace vantrel {

// "a DDF container" or "an Intel Matrix (IMSM) container" when the disk carries its anchor
// (DDF: in its last sector; IMSM: in the one before), nothing otherwise.
std::optional<std::string> ForeignRaidContainer(DiskSource& disk);

}  // namespace vantrel
