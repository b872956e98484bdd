#pragma once
// Which sectors make up a carved file, and how long the file is.

#include <cstdint>
#include <vector>

#include "carving/RawSignatures.h"

namespace vantrel {

inline constexpr std::uint32_t kCarveChunkSectors = 20;
inline constexpr std::uint64_t kShortCarveBytes = 10240;
inline constexpr std::uint64_t kDocumentCapSectors = 10260;  // 5,253,120 bytes

// Consecutive sectors, read in chunks of 20 counted from `first`.
struct SectorRun {
  std::uint64_t first = 0;
  std::uint64_t count = 0;
  bool operator==(const SectorRun&) const = default;
};

struct CarvePlan {
  std::vector<SectorRun> runs;  // in file order
  std::uint64_t fileBytes = 0;  // what is not covered by the runs is written as zeros
  bool operator==(const CarvePlan&) const = default;
};

// A carve from header sector `start` to end sector `end` (start <= end):
// - a span (end - start) of at most 20 sectors gives a 10,240-byte file of the sectors
//   start to end (start to start + 19 for a span of exactly 20), zeros after them;
// - a longer span is copied in chunks of 20 up to end - 1 and followed, from end, by a
//   last chunk as long as the final partial one: sectors start to end + k - 1 with
//   k = ((span - 1) mod 20) + 1;
// - Word, Excel and PowerPoint files stop at 10,260 sectors; so does a ZIP file whose end
//   was not found (a stray header would otherwise be carved up to the next header or the
//   end of the range, filling the destination); a ZIP file ended by its marker has no cap.
CarvePlan PlanSpanCarve(std::uint64_t start, std::uint64_t end, RawFileKind kind, bool markerFound = true);

// A file of `bytes` bytes from sector `start`, whose length its own structures gave.
CarvePlan PlanExactCarve(std::uint64_t start, std::uint64_t bytes);

}  // namespace vantrel
