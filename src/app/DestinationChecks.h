#pragma once
// The check made before saving or carving writes anything: the destination folder must not
// lie on the disk being recovered.

#include <cstddef>
#include <string>

#include "disk/DestinationOnSource.h"

namespace vantrel {

class DiskNameTable;
class WindowPort;

// True, after telling the user, when destination lies on disk n of the table.
bool RefuseDestinationOnSource(WindowPort& window, const DiskNameTable& disks, std::size_t disk,
                               const std::string& destination, const DeviceLookup& lookup = {});

}  // namespace vantrel
