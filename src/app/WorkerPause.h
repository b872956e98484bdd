#pragma once
// Holds worker threads at their next report to the window while the user answers a
// question about them (the "Stop Searching" question). The thread that owns the window is
// never held.

#include <condition_variable>
#include <mutex>
#include <thread>

namespace vantrel {

class WorkerPause {
 public:
  WorkerPause() : owner_(std::this_thread::get_id()) {}

  void Hold();
  void Release();
  bool Held() const;
  // Called by the window on every report; waits while held unless called by the owner.
  void WaitIfHeld();

 private:
  const std::thread::id owner_;
  mutable std::mutex mutex_;
  std::condition_variable released_;
  bool held_ = false;
};

}  // namespace vantrel
