#pragma once
// The console's progress line on a terminal: the percentage of the step that runs and its
// latest texts, drawn on one line at most ten times a second, and ended before anything
// else is printed.

#include <array>
#include <chrono>
#include <iosfwd>
#include <mutex>
#include <string>

namespace vantrel::cli {

class ProgressLine {
 public:
  enum Slot { kStatus, kFound, kCarving, kSavingFile, kSlotCount };

  // stream is the terminal the line is drawn on; nullptr draws nothing.
  explicit ProgressLine(std::ostream* stream) : stream_(stream) {}

  void SetPercent(int percent);
  void SetText(Slot slot, std::string text);
  // Ends a drawn line, so that later output starts on a fresh line.
  void Finish();

 private:
  void DrawIfDue();

  std::ostream* stream_;
  // The builds report from their own threads.
  std::mutex mutex_;
  int percent_ = 0;
  std::array<std::string, kSlotCount> texts_;
  bool open_ = false;
  std::chrono::steady_clock::time_point lastDrawn_{};
};

}  // namespace vantrel::cli
