#pragma once
// Raw recovery reads the disk in windows of 800 sectors and looks at each window alone:
// for headers at the start of its sectors, and for end markers at any byte offset where
// the whole marker lies inside the window.

#include <cstdint>
#include <vector>

#include "base/LittleEndian.h"
#include "carving/RawSignatures.h"

namespace vantrel {

inline constexpr std::uint32_t kWindowSectors = 800;
inline constexpr std::uint32_t kWindowBytes = kWindowSectors * 512;  // 409,600
inline constexpr std::size_t kMaxHeadersPerWindow = 1000;

struct HeaderHit {
  std::uint64_t sector = 0;
  RawFileKind kind = RawFileKind::Word;  // the kind of the first record with this header
  bool operator==(const HeaderHit&) const = default;
};

// The headers of a window, ascending. Records are tried in table order and a hit is listed
// only beyond every hit listed before it, so that a ZIP or Excel 5.0 header before the
// window's last OLE header is left out; with everyHeader, every hit is listed. A header at
// absolute sector 0 is never listed.
std::vector<HeaderHit> FindHeaders(ByteSpan window, std::uint64_t windowStart, bool everyHeader);

struct MarkerHit {
  std::uint32_t offset = 0;  // byte offset in the window
  RawEndMarker marker = RawEndMarker::WordDocument;
  bool operator==(const MarkerHit&) const = default;
};

// Every end marker of the window in ascending offset order, the last offset where a
// marker still fits included. `hits` is cleared first and keeps its capacity.
void FindEndMarkers(ByteSpan window, std::vector<MarkerHit>& hits);

}  // namespace vantrel
