#pragma once
// The values of the "Saving" dialog after each write: the current file, the totals, the
// progress bar and the time elapsed and remaining.

#include <cstdint>
#include <string>

#include "saving/SavePrompts.h"

namespace vantrel {

class WindowPort;
struct SavingRun;

// The "Saving" dialog's texts as a run goes from file to file.
class WindowSaveProgress : public SaveProgress {
 public:
  explicit WindowSaveProgress(WindowPort& window) : window_(window) {}
  void OnFileStarted(const SavingRun& run, const std::filesystem::path& folder, const std::string& name) override;
  void OnFileProgress(SavingRun& run, std::uint64_t written, std::uint64_t size) override;

 private:
  WindowPort& window_;
};

// written and size are the current file's; the run's totals come from run.
void ShowSavingProgress(WindowPort& window, SavingRun& run, std::uint64_t written, std::uint64_t size,
                        std::int64_t now);

// "M Min S Sec".
std::string MinutesAndSeconds(std::uint64_t seconds);

}  // namespace vantrel
