#pragma once
// An offset reader: how the structure-based sizing reads a disk, bytes at an absolute byte
// offset, without prompting; false when they could not all be read.

#include <cstdint>
#include <functional>

#include "base/LittleEndian.h"

namespace vantrel {

using OffsetReader = std::function<bool(std::uint64_t offset, MutableByteSpan bytes)>;

}  // namespace vantrel
