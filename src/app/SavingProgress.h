#pragma once
// The values of the "Saving" dialog after each write: the current file, the totals, the
// progress bar and the time elapsed and remaining.

#include <chrono>
#include <cstdint>
#include <string>

#include "app/QuestionTime.h"
#include "recovery/SaveQuestions.h"

namespace vantrel {

class WindowPort;
struct SavingRun;

// The window's questions of a saving run, timed: the time the user takes to answer is no
// time the run spends writing.
class TimedSavePrompts : public SavePrompts {
 public:
  TimedSavePrompts(SavePrompts& prompts, QuestionTime& time) : prompts_(prompts), time_(time) {}
  ReplaceAnswer AskReplaceFile(const std::string& path) override;
  WriteErrorAnswer AskWriteError(const std::string& path) override;

 private:
  SavePrompts& prompts_;
  QuestionTime& time_;
};

// The "Saving" dialog's texts as a run goes from file to file; the time reckoned from its
// making, less what the questions took meanwhile.
class WindowSaveProgress : public SaveProgress {
 public:
  WindowSaveProgress(WindowPort& window, const QuestionTime& questions)
      : window_(window), questions_(questions), askedBefore_(questions.Total()) {}
  void OnFileStarted(const SavingRun& run, const std::filesystem::path& folder, const std::string& name) override;
  void OnFileProgress(SavingRun& run, std::uint64_t written, std::uint64_t size) override;

 private:
  WindowPort& window_;
  const QuestionTime& questions_;
  const std::chrono::milliseconds askedBefore_;
  const std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
};

// written and size are the current file's; the run's totals come from run. Of the time
// elapsed, waited went on the user's answers: the time remaining is reckoned from the
// rest, once there is a second of it to go by.
void ShowSavingProgress(WindowPort& window, SavingRun& run, std::uint64_t written, std::uint64_t size,
                        std::chrono::milliseconds elapsed, std::chrono::milliseconds waited = {});
// Empties the "Saving" dialog before a run, so that it opens without the last run's values.
void ClearSavingProgress(WindowPort& window);

// "M Min S Sec".
std::string MinutesAndSeconds(std::uint64_t seconds);

}  // namespace vantrel
