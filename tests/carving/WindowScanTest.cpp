// The two scans of a window and the end search over their results.

#include <gtest/gtest.h>

#include <cstring>

#include "carving/EndSearch.h"
#include "carving/RawTestSupport.h"
#include "carving/WindowScan.h"

namespace vantrel::test {
namespace {

class WindowBytes {
 public:
  WindowBytes() : bytes_(kWindowBytes) {}
  void Put(std::size_t offset, const std::string& text) { std::memcpy(bytes_.data() + offset, text.data(), text.size()); }
  void PutAtSector(std::uint32_t sector, const std::string& text) { Put(std::size_t{sector} * 512, text); }
  ByteSpan Bytes() const { return bytes_; }

 private:
  std::vector<std::byte> bytes_;
};

const std::string kExcel5Header = "Microsoft Excel 5.0";

std::vector<std::uint64_t> Sectors(const std::vector<HeaderHit>& hits) {
  std::vector<std::uint64_t> sectors;
  for (const auto& hit : hits) sectors.push_back(hit.sector);
  return sectors;
}

TEST(HeaderScan, ListsLaterRecordsOnlyBeyondEveryHeaderListedBefore) {
  WindowBytes window;
  window.PutAtSector(10, ZipHeader());
  window.PutAtSector(20, OleHeader());
  window.PutAtSector(30, kExcel5Header);
  window.PutAtSector(40, OleHeader());
  window.PutAtSector(50, ZipHeader());     // before the Excel 5.0 header, which is tried first
  window.PutAtSector(60, kExcel5Header);
  window.PutAtSector(70, ZipHeader());
  window.Put(80 * 512 + 1, OleHeader());  // not at a sector's start
  const auto hits = FindHeaders(window.Bytes(), 8000, false);
  EXPECT_EQ(hits, (std::vector<HeaderHit>{{8020, RawFileKind::Word},
                                          {8040, RawFileKind::Word},
                                          {8060, RawFileKind::Excel},
                                          {8070, RawFileKind::Zip}}));
  // Listing every header (for whole files) keeps the ones the reading above leaves out.
  EXPECT_EQ(Sectors(FindHeaders(window.Bytes(), 8000, true)),
            (std::vector<std::uint64_t>{8010, 8020, 8030, 8040, 8050, 8060, 8070}));
}

TEST(HeaderScan, PassesOverAHeaderAtSectorZeroButKeepsTheWindowsOthers) {
  WindowBytes window;
  window.PutAtSector(0, OleHeader());
  window.PutAtSector(100, OleHeader());
  window.PutAtSector(300, ZipHeader());
  EXPECT_EQ(Sectors(FindHeaders(window.Bytes(), 0, false)), (std::vector<std::uint64_t>{100, 300}));
  // Sector 0 of a later window is an ordinary sector.
  EXPECT_EQ(Sectors(FindHeaders(window.Bytes(), 800, false)), (std::vector<std::uint64_t>{800, 900, 1100}));
}

TEST(MarkerScan, FindsEveryMarkerAtAnyOffsetUpToTheLastWhereItFits) {
  for (int m = 0; m < kEndMarkerCount; ++m) {
    const auto marker = static_cast<RawEndMarker>(m);
    const std::string bytes = Marker(marker);
    const std::size_t last = kWindowBytes - bytes.size();
    WindowBytes window;
    // Apart enough not to overlap; around the edges of the 16-byte blocks tested at once.
    std::vector<std::uint32_t> offsets = {0, 47, 96, 145, 4097, static_cast<std::uint32_t>(last)};
    for (const auto offset : offsets) window.Put(offset, bytes);
    window.Put(last - 4000, bytes.substr(0, bytes.size() - 1) + "X");  // one byte short
    std::vector<MarkerHit> hits;
    FindEndMarkers(window.Bytes(), hits);
    std::vector<MarkerHit> expected;
    for (const auto offset : offsets) expected.push_back({offset, marker});
    EXPECT_EQ(hits, expected) << "marker " << m;
  }
}

// End search over a window starting at sector 0; markers are given by sector.
struct Scene {
  std::vector<HeaderHit> headers;
  std::vector<MarkerHit> markers;
  void Header(std::uint64_t sector) { headers.push_back({sector, RawFileKind::Word}); }
  void MarkerIn(std::uint64_t sector, RawEndMarker marker) {
    markers.push_back({static_cast<std::uint32_t>(sector * 512 + 7), marker});
  }
  std::optional<CarveEnd> EndOf(std::size_t k, std::uint64_t previousEnd = 0) const {
    return SearchEnd({markers, 0, headers, headers[k].sector, k, false, previousEnd});
  }
  std::optional<CarveEnd> PendingEnd(std::uint64_t start) const {
    return SearchEnd({markers, 0, headers, start, 0, true, 0});
  }
};

TEST(EndSearch, TheSmallestCandidateWinsAndTheLowerRecordOnATie) {
  Scene scene;
  scene.Header(100);
  scene.MarkerIn(130, RawEndMarker::ZipEnd);
  scene.MarkerIn(120, RawEndMarker::Workbook);
  scene.MarkerIn(120, RawEndMarker::WordDocument);
  EXPECT_EQ(scene.EndOf(0), (CarveEnd{120, 0}));
  // The Workshet marker stands for records 2 and 4; record 2 wins.
  Scene excel;
  excel.Header(100);
  excel.MarkerIn(110, RawEndMarker::ExcelWorkshet);
  EXPECT_EQ(excel.EndOf(0), (CarveEnd{110, 2}));
}

TEST(EndSearch, PassesOverMarkersBeforeTheHeaderOrAtThePreviousEnd) {
  Scene single;
  single.Header(100);
  single.MarkerIn(50, RawEndMarker::ZipEnd);
  EXPECT_FALSE(single.EndOf(0));  // one header, nothing pending: before it
  Scene two;
  two.Header(100);
  two.Header(300);
  two.MarkerIn(250, RawEndMarker::ZipEnd);
  EXPECT_FALSE(two.EndOf(1, 0));        // before the second header
  EXPECT_FALSE(two.EndOf(0, 250));      // at the previous end
  EXPECT_EQ(two.EndOf(0, 249), (CarveEnd{250, 5}));
}

TEST(EndSearch, APendingCarveStopsBeforeTheWindowsFirstHeader) {
  Scene scene;
  scene.Header(400);
  scene.MarkerIn(300, RawEndMarker::Workbook);
  EXPECT_EQ(scene.PendingEnd(20), (CarveEnd{300, 1}));
  scene.markers.clear();
  scene.MarkerIn(500, RawEndMarker::Workbook);
  EXPECT_EQ(scene.PendingEnd(20), (CarveEnd{399, 1}));
  Scene empty;
  EXPECT_FALSE(empty.PendingEnd(20));
}

}  // namespace
}  // namespace vantrel::test
