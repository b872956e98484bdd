#pragma once
// The values of the "Saving" dialog after each write: the current file, the totals, the
// progress bar and the time elapsed and remaining.

#include <cstdint>
#include <string>

#include "saving/SavePrompts.h"

namespace vantrel {

class WindowPort;
struct SavingRun;

// The window's questions of a saving run, timed: the time the user takes to answer is no
// time the run spends writing.
class TimedSavePrompts : public SavePrompts {
 public:
  explicit TimedSavePrompts(SavePrompts& prompts) : prompts_(prompts) {}
  ReplaceAnswer AskReplaceFile(const std::string& path) override;
  WriteErrorAnswer AskWriteError(const std::string& path) override;
  // Seconds spent waiting for answers so far.
  std::int64_t Waited() const { return waited_; }

 private:
  SavePrompts& prompts_;
  std::int64_t waited_ = 0;
};

// The "Saving" dialog's texts as a run goes from file to file.
class WindowSaveProgress : public SaveProgress {
 public:
  WindowSaveProgress(WindowPort& window, const TimedSavePrompts& prompts) : window_(window), prompts_(prompts) {}
  void OnFileStarted(const SavingRun& run, const std::filesystem::path& folder, const std::string& name) override;
  void OnFileProgress(SavingRun& run, std::uint64_t written, std::uint64_t size) override;

 private:
  WindowPort& window_;
  const TimedSavePrompts& prompts_;
};

// written and size are the current file's; the run's totals come from run. waited seconds
// went on the user's answers: the time remaining is reckoned from the rest.
void ShowSavingProgress(WindowPort& window, SavingRun& run, std::uint64_t written, std::uint64_t size, std::int64_t now,
                        std::int64_t waited = 0);
// Empties the "Saving" dialog before a run, so that it opens without the last run's values.
void ClearSavingProgress(WindowPort& window);

// "M Min S Sec".
std::string MinutesAndSeconds(std::uint64_t seconds);

}  // namespace vantrel
