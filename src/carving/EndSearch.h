#pragma once
// Where a carve ends: from the end markers of the current window, the window's headers,
// the carve's start and whether it was left pending by an earlier window.

#include <cstdint>
#include <optional>
#include <span>

#include "carving/WindowScan.h"

namespace vantrel {

struct EndSearchInput {
  std::span<const MarkerHit> markers;
  std::uint64_t windowStart = 0;
  std::span<const HeaderHit> headers;
  std::uint64_t start = 0;        // the carve's header sector
  std::size_t current = 0;        // index of that header in `headers` when nothing is pending
  bool pending = false;           // the carve started in an earlier window
  std::uint64_t previousEnd = 0;  // the end last found in this window (0: none)
};

struct CarveEnd {
  std::uint64_t sector = 0;
  int record = 0;  // the signature record whose marker decided
  bool operator==(const CarveEnd&) const = default;
};

// Every record keeps the candidate of its last accepted marker; the smallest candidate
// wins, the lower record on a tie. A marker at or before the previous end is passed over,
// as is one before the carve's start (with two or more headers) or before the only
// header (with one header and nothing pending). A marker beyond the next header stands
// for the sector before that header: the first header for a pending carve, the header
// after the current one otherwise. Nothing when no record has a candidate.
std::optional<CarveEnd> SearchEnd(const EndSearchInput& input);

}  // namespace vantrel
