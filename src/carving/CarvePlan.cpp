#include "carving/CarvePlan.h"

#include <algorithm>

namespace vantrel {

CarvePlan PlanSpanCarve(std::uint64_t start, std::uint64_t end, RawFileKind kind, bool markerFound) {
  const std::uint64_t span = end - start;
  if (span <= kCarveChunkSectors) {
    // The marker's own sector belongs to the file: a small ZIP keeps its end record.
    return {{{start, std::min<std::uint64_t>(span + 1, kCarveChunkSectors)}}, kShortCarveBytes};
  }
  const std::uint64_t lastChunk = (span - 1) % kCarveChunkSectors + 1;
  CarvePlan plan{{{start, span}, {end, lastChunk}}, 0};
  std::uint64_t sectors = span + lastChunk;
  if ((kind != RawFileKind::Zip || !markerFound) && sectors > kDocumentCapSectors) {
    sectors = kDocumentCapSectors;
    plan.runs[0].count = std::min(span, sectors);
    plan.runs[1].count = sectors - plan.runs[0].count;
    if (plan.runs[1].count == 0) plan.runs.pop_back();
  }
  plan.fileBytes = sectors * 512;
  return plan;
}

CarvePlan PlanExactCarve(std::uint64_t start, std::uint64_t bytes) {
  return {{{start, (bytes + 511) / 512}}, bytes};
}

}  // namespace vantrel
