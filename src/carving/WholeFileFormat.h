#pragma once
// The headers that start a file carved whole, at the start of a sector.

#include <cstdint>

#include "base/LittleEndian.h"

namespace vantrel {

enum class WholeFileFormat : std::uint8_t { None, Compound, Zip, Pdf, Rtf };

// The format whose header begins `sector` (its first bytes; a short span is no header).
WholeFileFormat WholeFileFormatAt(ByteSpan sector);

}  // namespace vantrel
