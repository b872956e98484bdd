#include "raw/ForwardScan.h"

#include <algorithm>
#include <vector>

namespace vantrel {

bool ScanForward(const ByteReader& read, std::uint64_t from, std::uint64_t to, std::size_t overlap,
                 const ForwardVisit& visit) {
  std::vector<std::byte> chunk(kForwardScanChunk + overlap);
  for (std::uint64_t position = from; position < to; position += kForwardScanChunk) {
    const auto readable = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), to - position));
    const auto bytes = std::span(chunk).first(readable);
    if (!read(position, bytes)) return false;
    if (!visit(position, bytes, std::min(kForwardScanChunk, readable))) return true;
  }
  return true;
}

}  // namespace vantrel
