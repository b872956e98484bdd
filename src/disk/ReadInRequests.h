#pragma once
// Large reads that keep the bad-sector prompts of small ones: a run of sectors is read
// with one quiet read, and only when that fails is it read again in the requests a
// reader making small requests would have made, each through ReadSectors and its prompt.

#include <cstdint>
#include <span>

#include "disk/SectorReader.h"

namespace vantrel {

// Reads `count` sectors from `first` into the start of `buffer`. After a failed quiet read
// the run is cleared, so that an unreadable request never leaves stale bytes, and read
// again in requests of `requestSectors` starting at `first` (the last one may be shorter).
// True when the whole run was read.
bool ReadInRequests(SectorReader& reader, std::uint16_t disk, std::uint64_t first, std::uint32_t count,
                    std::uint32_t requestSectors, std::span<std::byte> buffer);

// The second half of ReadInRequests, for a caller whose quiet read of the run has
// already failed: clears the run and reads it request by request.
bool ReadRequestByRequest(SectorReader& reader, std::uint16_t disk, std::uint64_t first, std::uint32_t count,
                          std::uint32_t requestSectors, std::span<std::byte> buffer);

}  // namespace vantrel
