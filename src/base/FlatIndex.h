#pragma once
// A map from 64-bit keys to 32-bit values in one flat table (open addressing, linear
// probing, at most half full): one cache line per look-up where a node-based map costs
// several, for indexes of millions of keys that are built once and never shrink.

#include <cstdint>
#include <optional>
#include <vector>

namespace vantrel {

class FlatIndex {
 public:
  std::optional<std::uint32_t> Find(std::uint64_t key) const;
  // Adds key, or gives an existing key the new value.
  void Insert(std::uint64_t key, std::uint32_t value);
  std::size_t Size() const { return count_; }

 private:
  struct Slot {
    std::uint64_t key = 0;
    std::uint32_t value = 0;
    bool used = false;
  };
  std::size_t SlotOf(std::uint64_t key) const;
  void Grow();

  std::vector<Slot> slots_;
  std::size_t count_ = 0;
};

}  // namespace vantrel
