#include "carving/EndSearch.h"

#include <array>

namespace vantrel {

namespace {

// The candidate a marker in sector m gives, or 0 when it is passed over.
std::uint64_t Candidate(const EndSearchInput& in, std::uint64_t m) {
  const std::size_t n = in.headers.size();
  if (m <= in.previousEnd) return 0;
  if (n >= 2 && m < in.start) return 0;
  if (n == 1 && !in.pending && m < in.headers[0].sector) return 0;
  if (in.pending && n >= 1 && m > in.headers[0].sector) return in.headers[0].sector - 1;
  if (!in.pending && n >= 2 && in.current + 1 < n && m > in.headers[in.current + 1].sector)
    return in.headers[in.current + 1].sector - 1;
  return m;
}

}  // namespace

std::optional<CarveEnd> SearchEnd(const EndSearchInput& in) {
  const auto& table = SignatureTable();
  std::array<std::uint64_t, kSignatureCount> candidates{};
  for (int record = 0; record < kSignatureCount; ++record)
    for (const MarkerHit& hit : in.markers) {
      if (hit.marker != table[record].endMarker) continue;
      const std::uint64_t candidate = Candidate(in, in.windowStart + hit.offset / 512);
      if (candidate != 0) candidates[record] = candidate;
    }
  std::optional<CarveEnd> best;
  for (int record = 0; record < kSignatureCount; ++record)
    if (candidates[record] != 0 && (!best || candidates[record] < best->sector)) best = CarveEnd{candidates[record], record};
  return best;
}

}  // namespace vantrel
