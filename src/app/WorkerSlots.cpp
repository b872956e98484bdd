#include "app/WorkerSlots.h"

#include "base/OutOfMemory.h"

namespace vantrel {

WorkerSlots::~WorkerSlots() { WaitAll(); }

bool WorkerSlots::Start(Worker slot, std::function<void()> work, bool keepSlot) {
  State& state = Slot(slot);
  if (state.running.load()) return false;
  if (state.thread.joinable()) state.thread.join();
  state.set = true;
  state.running = true;
  state.thread = std::jthread([this, &state, slot, work = std::move(work), keepSlot] {
    if (!RunUnlessOutOfMemory(work) && onOutOfMemory_) RunUnlessOutOfMemory([&] { onOutOfMemory_(slot); });
    if (!keepSlot) state.set = false;
    state.running = false;
    if (observer_) observer_();
  });
  if (observer_) observer_();
  return true;
}

bool WorkerSlots::AnyRunning() const {
  for (const State& state : slots_)
    if (state.running) return true;
  return false;
}

void WorkerSlots::WaitAll() {
  for (State& state : slots_)
    if (state.thread.joinable()) state.thread.join();
}

}  // namespace vantrel
