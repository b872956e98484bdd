#include "app/WorkerSlots.h"

namespace vantrel {

WorkerSlots::~WorkerSlots() { WaitAll(); }

void WorkerSlots::Start(Worker slot, std::function<void()> work, bool keepSlot) {
  State& state = Slot(slot);
  state.set = true;
  state.running = true;
  std::lock_guard lock(threadsMutex_);
  threads_.emplace_back([&state, work = std::move(work), keepSlot] {
    work();
    if (!keepSlot) state.set = false;
    state.running = false;
  });
}

bool WorkerSlots::AnyRunning() const {
  for (const State& state : slots_)
    if (state.running) return true;
  return false;
}

void WorkerSlots::WaitAll() {
  for (;;) {
    std::vector<std::thread> threads;
    {
      std::lock_guard lock(threadsMutex_);
      threads.swap(threads_);
    }
    if (threads.empty()) return;
    for (std::thread& thread : threads) thread.join();
  }
}

}  // namespace vantrel
