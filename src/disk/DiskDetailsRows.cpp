#include "disk/DiskDetailsRows.h"

#include "base/ByteCountText.h"

namespace vantrel {

std::vector<std::string> DiskDetailsRows(const DiskInfoStore& store, int disk) {
  namespace key = diskinfo;
  const std::string name = "Disk" + std::to_string(disk);
  std::vector<std::string> rows;
  const auto row = [&](const std::string& text) { rows.push_back(text); };
  row("Physical Disk Number : " + std::to_string(disk));
  row("Model   : " + store.Read(key::kModelKey, name));
  row("Media Type   : " + store.Read(key::kMediaTypeKey, name));
  row("Cylinder   : " + store.Read(key::kCylinderKey, name));
  row("Head   : " + store.Read(key::kHeadKey, name));
  row("SectorsPerTrack   : " + store.Read(key::kSectorsPerTrackKey, name));
  row("Disk Size  : " + ByteCountText(store.ReadNumber(key::kSizeKey, name)));
  if (const std::string error = store.Read(key::kErrorKey, name); !error.empty()) row("Error   : " + error);
  return rows;
}

}  // namespace vantrel
