#pragma once
// Raw recovery of a disk in one call: the request checked as the raw recovery step checks
// it, then the range carved into the destination.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "carving/RawRecovery.h"
#include "recovery/DiskChoice.h"
#include "recovery/RecoveryMessages.h"
#include "recovery/StepResult.h"

namespace vantrel {

inline constexpr const char* kNoFileTypeChecked = "Please select file type for recovery";
inline constexpr const char* kStartNotBeforeEnd = "Start sector should be less than End sector";

// The status text while the scan is at sector: " Searching Sector :- 2048".
std::string CarveSearchingText(std::uint64_t sector);
// The status text while the files carved whole are waited for on the disk.
inline constexpr const char* kWritingFilesText = "Writing files to disk\u2026";

struct CarveRequest {
  std::optional<std::uint64_t> start{};  // default: the disk's first sector
  std::optional<std::uint64_t> end{};    // first sector after the range; default: the disk's size
  std::array<bool, kKindCount> kinds{};
  std::string destination{};  // made (one level) when missing
};

// True when a kind the run would carve is chosen: the newer kinds are found in whole
// files only.
bool AnyKindToCarve(const std::array<bool, kKindCount>& kinds, bool wholeFiles);

// The checks of the request a front end makes before it asks for a destination: a kind to
// carve is chosen, and the range is not empty (both Refused after telling the user).
StepResult CheckCarveKinds(const CarveRequest& request, bool wholeFiles, RecoveryMessages& messages);
StepResult CheckCarveRange(const CarveRequest& request, std::uint64_t diskSectors, RecoveryMessages& messages);
// The checks of a destination not on the disk: none given (Refused), or one that cannot take
// files (Refused after telling the user).
StepResult CheckCarveDestination(const std::string& destination, RecoveryMessages& messages);
// The run of a request that passed the checks: raw holds the run's options and stop flag,
// and then what it did; a run stopped by the user is Stopped, one with files not written
// FilesFailed.
StepResult CarveChecked(const DiskChoice& disk, const CarveRequest& request, RawRecoveryState& raw,
                        RawRecoveryProgress& progress);

// Refuses a destination on the disk itself and a disk that cannot be read, then tells the
// user when no kind is chosen, the range is empty or the destination cannot take files
// (all Refused). raw holds the run's options and stop flag, and then what it did; a run
// stopped by the user is Stopped, one with files not written FilesFailed.
StepResult CarveDisk(const DiskChoice& disk, const CarveRequest& request, RawRecoveryState& raw,
                     RawRecoveryProgress& progress, RecoveryMessages& messages);

}  // namespace vantrel
