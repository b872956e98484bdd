#pragma once
// The time the user spends answering the questions a run asks (a file to replace, a bad
// sector, a write error): the run waits meanwhile, so none of it tells how fast it works.

#include <atomic>
#include <chrono>
#include <cstdint>

namespace vantrel {

class QuestionTime {
 public:
  // Asks through ask() and adds the time until the answer came.
  template <typename Ask>
  auto Timed(Ask ask) {
    const auto asked = std::chrono::steady_clock::now();
    auto answer = ask();
    Add(std::chrono::steady_clock::now() - asked);
    return answer;
  }
  void Add(std::chrono::steady_clock::duration waited) {
    milliseconds_ += std::chrono::duration_cast<std::chrono::milliseconds>(waited).count();
  }
  // All the time spent on answers so far.
  std::chrono::milliseconds Total() const { return std::chrono::milliseconds(milliseconds_.load()); }

 private:
  std::atomic<std::int64_t> milliseconds_{0};
};

}  // namespace vantrel
