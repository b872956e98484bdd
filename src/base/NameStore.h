#pragma once
// Names kept end to end in large blocks: a name costs its bytes and an 8-byte reference,
// not a string object and an allocation of its own. Names are never removed one by one;
// the whole store is cleared at once.

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace vantrel {

// Where a name lies in its store: a 40-bit offset and a 16-bit length.
struct NameRef {
  std::uint32_t offset = 0;
  std::uint16_t length = 0;
  std::uint8_t offsetHigh = 0;
  std::uint8_t spare = 0;  // free for the record that holds the reference
};

class NameStore {
 public:
  // Longer names are cut to this many bytes (names on disk hold at most 511).
  static constexpr std::size_t kMaxNameBytes = 0xFFFF;

  NameStore() = default;
  NameStore(const NameStore& other);
  NameStore& operator=(const NameStore& other);
  NameStore(NameStore&&) noexcept = default;
  NameStore& operator=(NameStore&&) noexcept = default;

  NameRef Add(std::string_view name);
  std::string_view View(NameRef name) const {
    if (name.length == 0) return {};
    const std::uint64_t at = (std::uint64_t{name.offsetHigh} << 32) | name.offset;
    return {blocks_[at >> kBlockShift].get() + (at & kBlockMask), name.length};
  }
  void Clear();
  std::size_t MemoryBytes() const { return blocks_.size() * kBlockBytes; }

 private:
  static constexpr unsigned kBlockShift = 20;
  static constexpr std::size_t kBlockBytes = std::size_t{1} << kBlockShift;
  static constexpr std::uint64_t kBlockMask = kBlockBytes - 1;

  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t used_ = kBlockBytes;  // bytes used in the last block
};

}  // namespace vantrel
