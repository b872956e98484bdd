#include "app/DestinationChecks.h"

#include "app/WindowPort.h"
#include "disk/DiskNameTable.h"

namespace vantrel {

bool RefuseDestinationOnSource(WindowPort& window, const DiskNameTable& disks, std::size_t disk,
                               const std::string& destination, const DeviceLookup& lookup) {
  const DiskEntry* entry = disks.Entry(disk);
  if (entry == nullptr || !DestinationOnDisk(*entry, destination, lookup)) return false;
  window.SystemMessage(kDestinationOnSource, SystemIcon::Error);
  return true;
}

}  // namespace vantrel
