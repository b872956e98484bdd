#include "app/WizardDisks.h"

namespace vantrel {

DiskChoice WizardDisks::CurrentChoice() {
  DiskChoice choice = ChooseDisk(reader, names, info, {}, currentIndex);
  choice.deviceLookup = deviceLookup;
  // The window reached this disk through its list (or a recovery log that named it): what it
  // cannot read is told by the read itself, sector by sector.
  choice.problem.clear();
  return choice;
}

std::uint64_t WizardDisks::CurrentSectors() const {
  return info.ReadNumber(diskinfo::kSizeKey, DiskNameTable::DiskName(currentIndex)) / kSectorSize;
}

std::uint64_t WizardDisks::SizeOfLabel(const std::string& label) const {
  const auto disk = DiskNameTable::DiskNumber(label);
  if (!disk || *disk >= names.Count()) return 0;
  return info.ReadNumber(diskinfo::kSizeKey, DiskNameTable::DiskName(*disk));
}

}  // namespace vantrel
