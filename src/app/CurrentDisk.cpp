#include "app/CurrentDisk.h"

#include "app/WizardState.h"

namespace vantrel {

DiskReader CurrentDisk(WizardState& state) { return {state.reader, state.currentDiskIndex}; }

std::uint64_t CurrentDiskSectors(const WizardState& state) {
  return state.diskInfo.ReadNumber(diskinfo::kSizeKey, DiskNameTable::DiskName(state.currentDiskIndex)) / kSectorSize;
}

}  // namespace vantrel
