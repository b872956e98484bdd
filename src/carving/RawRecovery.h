#pragma once
// Raw recovery: reads a range of one disk window by window, finds headers and end markers
// (or, for files carved whole, sizes every header by its file's own structures), and
// carves the files into numbered files in the destination.

#include <array>
#include <cstdint>
#include <filesystem>

#include "disk/DiskReader.h"
#include "carving/CarveWriter.h"
#include "carving/RawRecoveryState.h"

namespace vantrel {

struct RawRecoveryJob {
  DiskReader disk;
  std::uint64_t startSector = 0;
  std::uint64_t endSector = 0;    // first sector after the range
  std::uint64_t diskSectors = 0;  // the disk's size
  std::array<bool, kKindCount> kinds{};
  std::filesystem::path destination;  // an existing folder
};

// Runs the job with the options of raw (whole files, the text cap) until the range is done
// or raw.requests asks it to stop; raw.run and raw.report hold what it did.
void CarveRange(const RawRecoveryJob& job, RawRecoveryState& raw, RawRecoveryProgress& progress);

}  // namespace vantrel
