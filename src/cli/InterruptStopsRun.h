#pragma once
// Ctrl-C answers the Stop question with Yes while a run lasts: the flag the run polls is
// set, and the previous handling of the signal comes back when the run is over.

#include <signal.h>

#include <atomic>

namespace vantrel::cli {

class InterruptStopsRun {
 public:
  explicit InterruptStopsRun(std::atomic<bool>& flag);
  explicit InterruptStopsRun(std::atomic<int>& flag);
  ~InterruptStopsRun();
  InterruptStopsRun(const InterruptStopsRun&) = delete;
  InterruptStopsRun& operator=(const InterruptStopsRun&) = delete;

 private:
  void Install();
  struct sigaction previous_ {};
};

}  // namespace vantrel::cli
