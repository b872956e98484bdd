#include "recovery/CarveDisk.h"

#include <algorithm>

#include "carving/CarveDestination.h"

namespace vantrel {

std::string CarveSearchingText(std::uint64_t sector) { return " Searching Sector :- " + std::to_string(sector); }

bool AnyKindToCarve(const std::array<bool, kKindCount>& kinds, bool wholeFiles) {
  const auto carved = kinds.begin() + CarvedKindCount(wholeFiles);
  return std::find(kinds.begin(), carved, true) != carved;
}

StepResult CarveDisk(const DiskChoice& disk, const CarveRequest& request, RawRecoveryState& raw,
                     RawRecoveryProgress& progress, RecoveryMessages& messages) {
  // A destination on the disk itself is refused before the disk is even opened.
  if (StepResult checked = CheckDiskAndDestination(disk, request.destination); !checked.Done()) return checked;
  const RawRecoveryJob job{disk.disk,     request.start.value_or(0), request.end.value_or(disk.sectors), disk.sectors,
                           request.kinds, request.destination};
  const auto refuse = [&](const char* text, MessageStyle style) {
    messages.Tell(text, style);
    return StepResult{StepOutcome::Refused, {}, {}};
  };
  if (!AnyKindToCarve(job.kinds, raw.exactSizes)) return refuse(kNoFileTypeChecked, MessageStyle::SystemInformation);
  if (job.startSector >= job.endSector) return refuse(kStartNotBeforeEnd, MessageStyle::SystemError);
  if (request.destination.empty()) return {StepOutcome::Refused, {}, {}};
  if (!DestinationUsable(request.destination)) return refuse(kUnableToCreateDirectory, MessageStyle::SystemError);
  CarveRange(job, raw, progress);
  if (raw.report.stopped) return {StepOutcome::Stopped, {}, {}};
  if (!raw.report.failures.empty()) return {StepOutcome::FilesFailed, {}, {}};
  return {};
}

}  // namespace vantrel
