#pragma once
// The worker threads of the wizard, one slot per kind of long operation, each running at
// most one thread. A slot is set while its worker runs; some kinds keep it set after the
// end, as the wizard expects.

#include <array>
#include <atomic>
#include <functional>
#include <thread>

namespace vantrel {

enum class Worker {
  PartitionSearch,  // the advanced partition search
  MoreSearch,       // the search at cylinder boundaries
  Catalogue,        // the quick or the advanced file/folder search
  Raw,              // raw recovery
  LogSave,
  LogLoad,
  TreeSave,         // saving started from the folder tree's context menu
  Saving,           // saving started from the menu, the button or the list
  Viewing,          // a file of the list written to the temporary folder and opened
  Browse,           // the catalogue made ready to be served as a folder
};
inline constexpr std::size_t kWorkerKinds = 10;

class WorkerSlots {
 public:
  WorkerSlots() = default;
  WorkerSlots(const WorkerSlots&) = delete;
  WorkerSlots& operator=(const WorkerSlots&) = delete;
  ~WorkerSlots();

  // Starts work on the slot's thread and sets the slot; the slot is cleared when the work
  // returns (or ends on an allocation failure) unless keepSlot is set. Refused (false) while the slot's work still runs; the
  // thread of its previous work, which has returned, is joined first.
  bool Start(Worker slot, std::function<void()> work, bool keepSlot = false);
  bool IsSet(Worker slot) const { return Slot(slot).set.load(); }
  // True while the slot's work has not returned (whether or not its slot is kept).
  bool IsRunning(Worker slot) const { return Slot(slot).running.load(); }
  bool AnyRunning() const;
  // Empties a slot without touching its thread, as the wizard does before starting the
  // other kind of search.
  void Empty(Worker slot) { Slot(slot).set = false; }
  // Waits until every worker started so far has returned.
  void WaitAll();
  // Called, on the starting thread or the worker's, each time a worker starts or returns.
  // Set before the first Start.
  void SetObserver(std::function<void()> observer) { observer_ = std::move(observer); }
  // Called on the worker's thread when its work ended on an allocation failure (the slot
  // is still set then). Set before the first Start.
  void SetOutOfMemoryHandler(std::function<void(Worker)> handler) { onOutOfMemory_ = std::move(handler); }

 private:
  struct State {
    std::atomic<bool> set{false};
    std::atomic<bool> running{false};
    std::jthread thread;
  };
  State& Slot(Worker slot) { return slots_[static_cast<std::size_t>(slot)]; }
  const State& Slot(Worker slot) const { return slots_[static_cast<std::size_t>(slot)]; }

  std::array<State, kWorkerKinds> slots_;
  std::function<void()> observer_;
  std::function<void(Worker)> onOutOfMemory_;
};

}  // namespace vantrel
