#pragma once
// Byte reads from a disk for sizing files by their structures: without prompting, and
// false where any sector of them cannot be read.

#include "disk/SectorReader.h"
#include "carving/OffsetReader.h"

namespace vantrel {

OffsetReader QuietOffsetReader(SectorReader& reader, std::uint16_t disk);

}  // namespace vantrel
