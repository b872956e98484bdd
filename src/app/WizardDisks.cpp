#include "app/WizardDisks.h"

namespace vantrel {

std::uint64_t WizardDisks::CurrentSectors() const {
  return info.ReadNumber(diskinfo::kSizeKey, DiskNameTable::DiskName(currentIndex)) / kSectorSize;
}

std::uint64_t WizardDisks::SizeOfLabel(const std::string& label) const {
  const auto disk = DiskNameTable::DiskNumber(label);
  if (!disk || *disk >= names.Count()) return 0;
  return info.ReadNumber(diskinfo::kSizeKey, DiskNameTable::DiskName(*disk));
}

}  // namespace vantrel
