#pragma once
// The disk the wizard reads: the one chosen at the first step (or the one a recovery log
// named).

#include <cstdint>

#include "disk/DiskReader.h"

namespace vantrel {

struct WizardState;

DiskReader CurrentDisk(WizardState& state);
// Its size in sectors, 0 when unknown.
std::uint64_t CurrentDiskSectors(const WizardState& state);

}  // namespace vantrel
