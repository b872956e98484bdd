#include "recovery/CarveDisk.h"

#include <algorithm>

#include "carving/CarveDestination.h"

namespace vantrel {

std::string CarveSearchingText(std::uint64_t sector) { return " Searching Sector :- " + std::to_string(sector); }

bool AnyKindToCarve(const std::array<bool, kKindCount>& kinds, bool wholeFiles) {
  const auto carved = kinds.begin() + CarvedKindCount(wholeFiles);
  return std::find(kinds.begin(), carved, true) != carved;
}

namespace {

StepResult Refuse(RecoveryMessages& messages, const char* text, MessageStyle style) {
  messages.Tell(text, style);
  return {StepOutcome::Refused, {}, {}};
}

}  // namespace

StepResult CheckCarveKinds(const CarveRequest& request, bool wholeFiles, RecoveryMessages& messages) {
  if (!AnyKindToCarve(request.kinds, wholeFiles))
    return Refuse(messages, kNoFileTypeChecked, MessageStyle::SystemInformation);
  return {};
}

StepResult CheckCarveRange(const CarveRequest& request, std::uint64_t diskSectors, RecoveryMessages& messages) {
  if (request.start.value_or(0) >= request.end.value_or(diskSectors))
    return Refuse(messages, kStartNotBeforeEnd, MessageStyle::SystemError);
  return {};
}

StepResult CheckCarveDestination(const std::string& destination, RecoveryMessages& messages) {
  if (destination.empty()) return {StepOutcome::Refused, {}, {}};
  if (!DestinationUsable(destination)) return Refuse(messages, kUnableToCreateDirectory, MessageStyle::SystemError);
  return {};
}

StepResult CarveChecked(const DiskChoice& disk, const CarveRequest& request, RawRecoveryState& raw,
                        RawRecoveryProgress& progress) {
  const RawRecoveryJob job{disk.disk,     request.start.value_or(0), request.end.value_or(disk.sectors), disk.sectors,
                           request.kinds, request.destination};
  CarveRange(job, raw, progress);
  if (raw.report.stopped) return {StepOutcome::Stopped, {}, {}};
  if (!raw.report.failures.empty()) return {StepOutcome::FilesFailed, {}, {}};
  return {};
}

StepResult CarveDisk(const DiskChoice& disk, const CarveRequest& request, RawRecoveryState& raw,
                     RawRecoveryProgress& progress, RecoveryMessages& messages) {
  // A destination on the disk itself is refused before the disk is even opened.
  if (StepResult checked = CheckDiskAndDestination(disk, request.destination); !checked.Done()) return checked;
  if (StepResult checked = CheckCarveKinds(request, raw.exactSizes, messages); !checked.Done()) return checked;
  if (StepResult checked = CheckCarveRange(request, disk.sectors, messages); !checked.Done()) return checked;
  if (StepResult checked = CheckCarveDestination(request.destination, messages); !checked.Done()) return checked;
  return CarveChecked(disk, request, raw, progress);
}

}  // namespace vantrel
