#pragma once
// Opens a disk named by the user as the source its signature calls for: a container's
// library, the pieces of a split image, or the file itself (an image or a device).

#include <memory>
#include <optional>
#include <string>

#include "disk/BadSectorMap.h"
#include "disk/DiskSource.h"

namespace vantrel {

// Nothing, and the reason in *problem, when a ddrescue map is given for a container that
// is not raw: a map describes the bytes of a raw image.
std::unique_ptr<DiskSource> OpenDiskImage(const std::string& path, std::optional<BadSectorMap> badSectors,
                                          std::string* problem);

}  // namespace vantrel
