#pragma once
// Reads of a parity array with a member missing, a stretch of whole stripe rows at a time:
// every present member (data and parity) is read once, side by side, and the missing
// member's chunks are rebuilt from them, instead of reading each row again for every chunk
// that has to be rebuilt.

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "stacks/MdGeometry.h"

namespace vantrel {

// Reads bytes of a member's data area; false when it is missing or the read failed.
using MemberReader = std::function<bool(std::uint32_t role, std::uint64_t byte, std::span<std::byte> into)>;

// Reads [offset, offset + buffer.size()) of a RAID4/5/6 array (within its size) whose
// missing roles are those not `present`. False when a present member failed to read or too
// many are missing: the caller then reads the stretch chunk by chunk.
bool ReadWholeRows(const MdGeometry& geometry, const std::vector<bool>& present, std::uint64_t offset,
                   std::span<std::byte> buffer, const MemberReader& read);

}  // namespace vantrel
