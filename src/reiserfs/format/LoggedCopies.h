#pragma once
// The blocks of a volume whose newest committed copy lies in the journal, and where: a
// journal replayed in memory. The partition's block reader reads these blocks from their
// copies instead of from their place.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "disk/DiskReader.h"

namespace vantrel {

struct LoggedCopies {
  DiskReader disk;                // the device that holds the journal
  std::uint64_t startSector = 0;  // where block 0 of the journal's device lies
  bool apart = false;             // the journal's device is not the volume's
  // (block of the volume, block of its copy on the journal's device), by block.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> copies;

  std::optional<std::uint32_t> CopyOf(std::uint32_t block) const {
    const auto at = FirstAtOrAfter(block);
    if (at == copies.end() || at->first != block) return std::nullopt;
    return at->second;
  }

  // True when a block in [first, first + count) has a copy.
  bool AnyIn(std::uint32_t first, std::uint64_t count) const {
    const auto at = FirstAtOrAfter(first);
    return at != copies.end() && at->first - std::uint64_t{first} < count;
  }

  // The blocks with copies in [first, first + count), in order.
  template <typename Each>
  void ForEachIn(std::uint32_t first, std::uint64_t count, Each each) const {
    for (auto at = FirstAtOrAfter(first); at != copies.end() && at->first - std::uint64_t{first} < count; ++at)
      each(at->first, at->second);
  }

 private:
  std::vector<std::pair<std::uint32_t, std::uint32_t>>::const_iterator FirstAtOrAfter(std::uint32_t block) const {
    return std::lower_bound(copies.begin(), copies.end(), block,
                            [](const auto& copy, std::uint32_t b) { return copy.first < b; });
  }
};

}  // namespace vantrel
