#include "app/WizardDisks.h"

namespace vantrel {

std::uint64_t WizardDisks::CurrentSectors() const {
  return info.ReadNumber(diskinfo::kSizeKey, DiskNameTable::DiskName(currentIndex)) / kSectorSize;
}

}  // namespace vantrel
