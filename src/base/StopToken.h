#pragma once
// A stop request shared between whoever asks for it (a Stop button, Ctrl-C, the program
// closing) and the long operation that polls it. A token without a flag is never stopped.

#include <atomic>

namespace vantrel {

// The requests a run of many units (files saved, files carved) heeds.
struct StopRequests {
  std::atomic<int> stop{0};     // end the run after the unit in hand
  std::atomic<int> skip{0};     // give up the unit in hand (the file being written) and go on
  std::atomic<int> abandon{0};  // the program is closing: end the run and remove what is half written

  void Clear() {
    stop = 0;
    skip = 0;
    abandon = 0;
  }
};

class StopToken {
 public:
  StopToken() = default;
  explicit StopToken(std::atomic<int>& flag) : flag_(&flag) {}
  explicit StopToken(StopRequests& requests) : flag_(&requests.stop), requests_(&requests) {}

  // Stop, or the program closing.
  bool Requested() const { return (flag_ != nullptr && flag_->load() != 0) || Abandoned(); }
  bool SkipRequested() const { return requests_ != nullptr && requests_->skip.load() != 0; }
  bool Abandoned() const { return requests_ != nullptr && requests_->abandon.load() != 0; }
  // Takes back a request that has been answered, so that the next step runs on: a stop
  // during a scan ends the scan, and only a new request ends what follows it.
  void Clear() const {
    if (flag_ != nullptr) flag_->store(0);
  }

 private:
  std::atomic<int>* flag_ = nullptr;
  StopRequests* requests_ = nullptr;
};

}  // namespace vantrel
