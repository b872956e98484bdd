#include "carving/WindowScan.h"

#include <algorithm>
#include <cstring>

namespace vantrel {

namespace {

bool BytesAt(ByteSpan bytes, std::size_t offset, std::string_view text) {
  return offset <= bytes.size() && bytes.size() - offset >= text.size() &&
         std::memcmp(bytes.data() + offset, text.data(), text.size()) == 0;
}

// Records with the header of an earlier record hit the same sectors, which are never
// beyond the earlier record's last hit; only the first record of each header is tried.
bool RepeatsEarlierHeader(int record) {
  const auto& table = SignatureTable();
  for (int earlier = 0; earlier < record; ++earlier)
    if (table[earlier].header == table[record].header) return true;
  return false;
}

void AddHeaderHits(ByteSpan window, std::uint64_t windowStart, const RawSignature& signature, bool everyHeader,
                   std::vector<HeaderHit>& list) {
  for (std::size_t offset = 0; offset + signature.header.size() <= window.size(); offset += 512) {
    if (list.size() >= kMaxHeadersPerWindow) return;
    if (!BytesAt(window, offset, signature.header)) continue;
    const std::uint64_t sector = windowStart + offset / 512;
    if (sector == 0) continue;
    if (everyHeader || list.empty() || sector > list.back().sector) list.push_back({sector, signature.kind});
  }
}

}  // namespace

std::vector<HeaderHit> FindHeaders(ByteSpan window, std::uint64_t windowStart, bool everyHeader) {
  std::vector<HeaderHit> list;
  const auto& table = SignatureTable();
  for (int record = 0; record < kSignatureCount; ++record)
    if (!RepeatsEarlierHeader(record)) AddHeaderHits(window, windowStart, table[record], everyHeader, list);
  if (everyHeader) {
    // A sector holds one header at most; the stable sort keeps table order among equals.
    std::stable_sort(list.begin(), list.end(),
                     [](const HeaderHit& a, const HeaderHit& b) { return a.sector < b.sector; });
    list.erase(std::unique(list.begin(), list.end(),
                           [](const HeaderHit& a, const HeaderHit& b) { return a.sector == b.sector; }),
               list.end());
    if (list.size() > kMaxHeadersPerWindow) list.resize(kMaxHeadersPerWindow);
  }
  return list;
}

namespace {

// Sixteen positions are tested at once against the first two bytes of the markers
// ("Wo", "W\0", "Mi", "P\0", "PK"), and only a position that starts one of them is
// compared in full.
using Lanes = unsigned char __attribute__((vector_size(16)));
constexpr std::size_t kLaneCount = sizeof(Lanes);

Lanes MayStartMarker(const unsigned char* bytes) {
  Lanes here;
  Lanes next;
  std::memcpy(&here, bytes, kLaneCount);
  std::memcpy(&next, bytes + 1, kLaneCount);
  return static_cast<Lanes>(((here == 'W') & ((next == 'o') | (next == 0))) | ((here == 'M') & (next == 'i')) |
                            ((here == 'P') & ((next == 0) | (next == 'K'))));
}

bool AnyLane(Lanes lanes) {
  std::uint64_t halves[2];
  std::memcpy(halves, &lanes, sizeof(halves));
  return (halves[0] | halves[1]) != 0;
}

void MatchAt(ByteSpan window, std::size_t offset, std::vector<MarkerHit>& hits) {
  const char first = static_cast<char>(window[offset]);
  for (int m = 0; m < kEndMarkerCount; ++m) {
    const auto marker = static_cast<RawEndMarker>(m);
    const std::string_view bytes = EndMarkerBytes(marker);
    if (bytes.front() == first && BytesAt(window, offset, bytes)) {
      hits.push_back({static_cast<std::uint32_t>(offset), marker});
      return;  // no marker is the start of another
    }
  }
}

}  // namespace

void FindEndMarkers(ByteSpan window, std::vector<MarkerHit>& hits) {
  hits.clear();
  const auto* bytes = reinterpret_cast<const unsigned char*>(window.data());
  const std::size_t size = window.size();
  std::size_t offset = 0;
  for (; offset + kLaneCount + 1 <= size; offset += kLaneCount) {
    const Lanes found = MayStartMarker(bytes + offset);
    if (!AnyLane(found)) continue;
    for (std::size_t lane = 0; lane < kLaneCount; ++lane)
      if (found[lane] != 0) MatchAt(window, offset + lane, hits);
  }
  for (; offset < size; ++offset) MatchAt(window, offset, hits);
}

}  // namespace vantrel
