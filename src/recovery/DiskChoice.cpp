#include "recovery/DiskChoice.h"

#include "disk/DestinationOnSource.h"

namespace vantrel {

DiskChoice ChooseDisk(SectorReader& reader, const DiskNameTable& names, const DiskInfoStore& info,
                      const std::vector<EnumerationProblem>& problems, int n) {
  DiskChoice choice{.disk = {reader, static_cast<std::uint16_t>(n)}, .index = static_cast<std::uint16_t>(n)};
  const std::string name = DiskNameTable::DiskName(static_cast<std::size_t>(n));
  choice.sectors = info.ReadNumber(diskinfo::kSizeKey, name) / kSectorSize;
  choice.geometry = {info.ReadNumber(diskinfo::kCylinderKey, name), info.ReadNumber(diskinfo::kHeadKey, name),
                     info.ReadNumber(diskinfo::kSectorsPerTrackKey, name)};
  choice.model = info.Read(diskinfo::kModelKey, name);
  if (const DiskEntry* entry = n < 0 ? nullptr : names.Entry(static_cast<std::size_t>(n))) {
    choice.path = entry->path;
    choice.readsFrom = entry->readsFrom;
  }
  for (const auto& problem : problems)
    if (problem.disk == n) {
      choice.problem = problem.text;
      return choice;
    }
  if (n < 0 || static_cast<std::size_t>(n) >= names.Count())
    choice.problem = "there is no Disk" + std::to_string(n) + " (" + std::to_string(names.Count()) + " disk(s) listed)";
  return choice;
}

StepResult CheckDiskAndDestination(const DiskChoice& disk, const std::string& destination) {
  DiskEntry entry;
  entry.path = disk.path;
  entry.readsFrom = disk.readsFrom;
  if ((!disk.path.empty() || !disk.readsFrom.empty()) && DestinationOnDisk(entry, destination, disk.deviceLookup))
    return {StepOutcome::Refused, kDestinationOnSource, {}};
  if (!disk.problem.empty()) return {StepOutcome::DiskUnreadable, disk.problem, {}};
  return {};
}

}  // namespace vantrel
