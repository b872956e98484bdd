#include "carving/ForwardScan.h"

#include <algorithm>
#include <vector>

namespace vantrel {

bool ScanForward(const OffsetReader& read, std::uint64_t from, std::uint64_t to, std::size_t overlap,
                 const ForwardVisit& visit) {
  // Most ends lie close to where the search begins: the chunks start small and grow.
  std::vector<std::byte> chunk;
  std::size_t step = kFirstForwardScanChunk;
  for (std::uint64_t position = from; position < to; position += step, step = std::min(2 * step, kForwardScanChunk)) {
    const auto readable = static_cast<std::size_t>(std::min<std::uint64_t>(step + overlap, to - position));
    chunk.resize(readable);
    if (!read(position, chunk)) return false;
    if (!visit(position, chunk, std::min(step, readable))) return true;
  }
  return true;
}

}  // namespace vantrel
