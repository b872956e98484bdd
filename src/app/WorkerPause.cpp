#include "app/WorkerPause.h"

namespace vantrel {

void WorkerPause::Hold() {
  std::lock_guard lock(mutex_);
  held_ = true;
}

void WorkerPause::Release() {
  {
    std::lock_guard lock(mutex_);
    held_ = false;
  }
  released_.notify_all();
}

bool WorkerPause::Held() const {
  std::lock_guard lock(mutex_);
  return held_;
}

void WorkerPause::WaitIfHeld() {
  if (std::this_thread::get_id() == owner_) return;
  std::unique_lock lock(mutex_);
  released_.wait(lock, [this] { return !held_; });
}

}  // namespace vantrel
