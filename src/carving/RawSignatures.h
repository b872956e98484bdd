#pragma once
// What raw recovery looks for: the kinds of file it carves, the six signature
// records (a header at the start of a sector and an end marker anywhere after it) in
// their fixed order, and the strings that settle a carved file's kind.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantrel {

// The numbers are the rows of the kind list, the counters' index and the naming order.
// The first four are the classic kinds that every run carves; the rest are found only
// when files are carved whole (sized by their own structures).
enum class RawFileKind : std::uint8_t {
  Word = 0, Excel = 1, PowerPoint = 2, Zip = 3,
  Docx, Xlsx, Pptx, Odt, Ods, Odp, Epub, Pdf, Rtf, Ole,
};
inline constexpr int kClassicKindCount = 4;
inline constexpr int kKindCount = 14;

constexpr int KindIndex(RawFileKind kind) { return static_cast<int>(kind); }
// How many kinds (from row 0) a run carves: all of them only when files are carved whole.
constexpr int CarvedKindCount(bool wholeFiles) { return wholeFiles ? kKindCount : kClassicKindCount; }

// The distinct end markers; records 2 and 4 share one.
enum class RawEndMarker : std::uint8_t { WordDocument, Workbook, ExcelWorkshet, PowerPointDocument, ZipEnd };
inline constexpr int kEndMarkerCount = 5;

struct RawSignature {
  std::string_view header;  // at byte 0 of a sector
  RawEndMarker endMarker;
  RawFileKind kind;
};

inline constexpr int kSignatureCount = 6;
// In this order; the order breaks every tie.
const std::array<RawSignature, kSignatureCount>& SignatureTable();
std::string_view EndMarkerBytes(RawEndMarker marker);

// The longest end marker, in bytes.
inline constexpr std::size_t kLongestEndMarker = 37;

// Kind check strings and their offsets in a carved file.
struct RawKindCheck {
  std::size_t offset;
  std::string_view text;
  RawFileKind kind;
};
// The first two make a file Excel, the third PowerPoint; tried in this order.
const std::array<RawKindCheck, 3>& RawKindChecks();

// The kind a carve from a header of headerKind is named after when the marker of
// endRecord ended it: the record's kind when the record begins with the same header as
// the carve (an OLE header ended by the PowerPoint marker), otherwise the header's own kind
// (a ZIP header is never named after a document's marker, nor the reverse).
RawFileKind KindOfCarve(RawFileKind headerKind, int endRecord);
// Bytes read from a carve's start for the kind check (10 sectors).
inline constexpr std::uint32_t kKindCheckSectors = 10;

// Texts of a kind: the kind list row, the results row's leading text, and the output
// file name's prefix and extension.
struct RawKindTexts {
  std::string_view listRow;
  std::string_view resultsRow;
  std::string_view namePrefix;
  std::string_view extension;
  std::string_view shortName;  // for the console: doc, xls, ppt, zip
};
const RawKindTexts& KindTexts(RawFileKind kind);

}  // namespace vantrel
