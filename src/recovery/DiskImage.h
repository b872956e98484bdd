#pragma once
// Saving the raw bytes of a disk in one call: any disk the program lists (a disk, an array,
// a logical volume, a container), one of its partitions or a run of its sectors, into a
// file or onto standard output, with a GNU ddrescue mapfile of what could not be read.

#include <cstdint>
#include <optional>
#include <string>

#include "base/StopToken.h"
#include "imaging/ImageCopy.h"
#include "recovery/DiskChoice.h"
#include "recovery/RecoveryMessages.h"
#include "recovery/StepResult.h"

namespace vantrel {

inline constexpr const char* kStandardOutput = "-";

struct DiskImageRequest {
  std::optional<int> partition;        // a partition of the disk's table, numbered as Linux numbers them
  std::optional<std::uint64_t> start;  // or a run of sectors: the first (default 0)
  std::optional<std::uint64_t> end;    // and the one after the last (default: the disk's end)
  std::string out;                     // the image file, or kStandardOutput
  std::string mapfile;                 // where the ddrescue mapfile goes; empty for none
  std::string commandLine;             // what the mapfile says made it
};

struct DiskImageRun {
  std::uint64_t firstSector = 0;  // where on the disk the image starts
  ImageReport report;
};

// Refuses an image that would land on the disk itself, a disk that cannot be read, a
// partition the table does not have and an empty or overlong range; then copies the bytes.
// Sectors that stay unread are zeros in the image (FilesFailed, and '-' in the mapfile).
// A stopped image file is removed unless a mapfile says how far it got (Stopped).
StepResult SaveDiskImage(const DiskChoice& disk, const DiskImageRequest& request, ImageProgress& progress,
                         const StopToken& stop, RecoveryMessages& messages, DiskImageRun& run);

}  // namespace vantrel
