#include "disk/DeviceOpener.h"

#include <mutex>

namespace vantrel {

namespace {

std::mutex openerMutex;
DeviceOpener& InstalledOpener() {
  static DeviceOpener opener;
  return opener;
}

}  // namespace

void SetDeviceOpener(DeviceOpener opener) {
  std::lock_guard lock(openerMutex);
  InstalledOpener() = std::move(opener);
}

int OpenThroughDeviceOpener(const std::string& path, std::string* why) {
  DeviceOpener opener;
  {
    std::lock_guard lock(openerMutex);
    opener = InstalledOpener();
  }
  if (!opener) {
    *why = kDiskAccessHint;
    return -1;
  }
  return opener(path, why);
}

}  // namespace vantrel
