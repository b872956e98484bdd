#pragma once
// The values of the "Saving" dialog after each write: the current file, the totals, the
// progress bar and the time elapsed and remaining.

#include <cstdint>
#include <string>

namespace vantrel {

class WindowPort;
struct SavingRun;

// written and size are the current file's; the run's totals come from run.
void ShowSavingProgress(WindowPort& window, SavingRun& run, std::uint64_t written, std::uint64_t size,
                        std::int64_t now);

// "M Min S Sec".
std::string MinutesAndSeconds(std::uint64_t seconds);

}  // namespace vantrel
