#pragma once
// The short reports shown when a long run ends: what a saving run wrote, kept, failed or
// cut short, and where a recovery log went.

#include <cstdint>
#include <string>

#include "base/ByteCountText.h"

namespace vantrel {

struct SavingRun;
struct RawRecoveryReport;

// How a saving run ended. stopped: by the user's Stop; removedFile: the file cut short by
// that Stop and removed (empty for none).
struct SavingEnd {
  bool stopped = false;
  std::string removedFile;
};

std::string SavingSummary(const SavingRun& run, const SavingEnd& end);
std::string LogSavedSummary(const std::string& path);
// The files a raw recovery run wrote, per kind, their bytes, and those it could not write.
std::string RawRecoverySummary(const RawRecoveryReport& report);

}  // namespace vantrel
