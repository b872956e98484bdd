#pragma once
// The length of an OLE compound file (Word, Excel and PowerPoint documents) from its own
// structures: the header's sector size and allocation table sectors, and the last sector
// that the allocation table marks as in use.

#include <cstdint>
#include <optional>

#include "carving/OffsetReader.h"
#include "carving/RawSignatures.h"

namespace vantrel {

struct CompoundFileFound {
  std::uint64_t bytes = 0;
  // From the root storage's stream names: Word ("WordDocument"), Excel ("Workbook" or
  // "Book"), PowerPoint ("PowerPoint Document"), or Ole for any other compound file.
  RawFileKind kind = RawFileKind::Ole;
  bool operator==(const CompoundFileFound&) const = default;
};

// Size in bytes and kind of the compound file whose header is at byte `start`, or nothing
// when the header or its tables do not hold together. The file may not reach `limit`
// bytes past `start` (the end of the disk).
std::optional<CompoundFileFound> MeasureCompoundFile(const OffsetReader& read, std::uint64_t start,
                                                     std::uint64_t limit);

}  // namespace vantrel
