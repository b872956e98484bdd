#include "base/FlatIndex.h"

namespace vantrel {

std::size_t FlatIndex::SlotOf(std::uint64_t key) const {
  // Fibonacci hashing spreads keys that differ only in a few bits (neighbouring ids).
  const std::size_t mask = slots_.size() - 1;
  std::size_t slot = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> 32) & mask;
  while (slots_[slot].used && slots_[slot].key != key) slot = (slot + 1) & mask;
  return slot;
}

std::optional<std::uint32_t> FlatIndex::Find(std::uint64_t key) const {
  if (slots_.empty()) return std::nullopt;
  const Slot& slot = slots_[SlotOf(key)];
  if (!slot.used) return std::nullopt;
  return slot.value;
}

void FlatIndex::Insert(std::uint64_t key, std::uint32_t value) {
  if (2 * (count_ + 1) > slots_.size()) Grow();
  Slot& slot = slots_[SlotOf(key)];
  if (!slot.used) ++count_;
  slot = {key, value, true};
}

void FlatIndex::Grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? 1024 : 2 * old.size(), Slot{});
  for (const Slot& slot : old)
    if (slot.used) slots_[SlotOf(slot.key)] = slot;
}

}  // namespace vantrel
