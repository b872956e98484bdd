#pragma once
// A stop request shared between whoever asks for it (a Stop button, Ctrl-C) and the long
// operation that polls it. A token without a flag is never stopped.

#include <atomic>

namespace vantrel {

class StopToken {
 public:
  StopToken() = default;
  explicit StopToken(std::atomic<int>& flag) : flag_(&flag) {}

  bool Requested() const { return flag_ != nullptr && flag_->load() != 0; }
  // Takes back a request that has been answered, so that the next step runs on: a stop
  // during a scan ends the scan, and only a new request ends what follows it.
  void Clear() const {
    if (flag_ != nullptr) flag_->store(0);
  }

 private:
  std::atomic<int>* flag_ = nullptr;
};

}  // namespace vantrel
