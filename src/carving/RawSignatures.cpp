#include "carving/RawSignatures.h"

namespace vantrel {

using namespace std::string_view_literals;

namespace {

constexpr std::string_view kOleHeader = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"sv;
constexpr std::string_view kExcel5Header = "Microsoft Excel 5.0"sv;
// "PK", 3, 4 and version 10: a stored first entry.
constexpr std::string_view kZipHeader = "PK\x03\x04\x0A"sv;

// UTF-16LE texts lose their last zero byte, so that a match needs no byte past the
// final letter.
constexpr std::array<std::string_view, kEndMarkerCount> kEndMarkers = {
    "Word.Document"sv,
    "W\0o\0r\0k\0b\0o\0o\0k"sv,
    "Microsoft Excel Workshet\0\x06"sv,
    "P\0o\0w\0e\0r\0P\0o\0i\0n\0t\0 \0D\0o\0c\0u\0m\0e\0n\0t"sv,
    "PK\x05\x06\0"sv,
};

constexpr std::array<RawSignature, kSignatureCount> kTable = {{
    {kOleHeader, RawEndMarker::WordDocument, RawFileKind::Word},
    {kOleHeader, RawEndMarker::Workbook, RawFileKind::Excel},
    {kOleHeader, RawEndMarker::ExcelWorkshet, RawFileKind::Excel},
    {kOleHeader, RawEndMarker::PowerPointDocument, RawFileKind::PowerPoint},
    {kExcel5Header, RawEndMarker::ExcelWorkshet, RawFileKind::Excel},
    {kZipHeader, RawEndMarker::ZipEnd, RawFileKind::Zip},
}};

constexpr std::array<RawKindCheck, 3> kKindChecks = {{
    {2080, "Microsoft Excel 5.0"sv, RawFileKind::Excel},
    {4768, "Microsoft Excel"sv, RawFileKind::Excel},
    {1152, kEndMarkers[3], RawFileKind::PowerPoint},
}};

constexpr std::array<RawKindTexts, kKindCount> kTexts = {{
    {"Microsoft Word File(s) (.DOC)", "Total Word File(s) Recovered :  ", "DOC", ".DOC", "doc"},
    {"Microsoft Excel File(s) (.XLS)", "Total Excel File(s) Recovered :  ", "XLS", ".XLS", "xls"},
    {"Microsoft PowerPoint File(s) (.PPT)", "Total PowerPoint File(s) Recovered :  ", "PPT", ".PPT", "ppt"},
    {"Compressed File(s) (.Zip)", "Total Zip File(s) Recovered :  ", "ZIP", ".ZIP", "zip"},
    {"Word Document(s) (.DOCX)", "Total DOCX File(s) Recovered :  ", "DOCX", ".DOCX", "docx"},
    {"Excel Workbook(s) (.XLSX)", "Total XLSX File(s) Recovered :  ", "XLSX", ".XLSX", "xlsx"},
    {"PowerPoint Presentation(s) (.PPTX)", "Total PPTX File(s) Recovered :  ", "PPTX", ".PPTX", "pptx"},
    {"OpenDocument Text(s) (.ODT)", "Total ODT File(s) Recovered :  ", "ODT", ".ODT", "odt"},
    {"OpenDocument Spreadsheet(s) (.ODS)", "Total ODS File(s) Recovered :  ", "ODS", ".ODS", "ods"},
    {"OpenDocument Presentation(s) (.ODP)", "Total ODP File(s) Recovered :  ", "ODP", ".ODP", "odp"},
    {"E-book(s) (.EPUB)", "Total EPUB File(s) Recovered :  ", "EPUB", ".EPUB", "epub"},
    {"PDF Document(s) (.PDF)", "Total PDF File(s) Recovered :  ", "PDF", ".PDF", "pdf"},
    {"Rich Text Document(s) (.RTF)", "Total RTF File(s) Recovered :  ", "RTF", ".RTF", "rtf"},
    {"Other Compound File(s) (.OLE)", "Total OLE File(s) Recovered :  ", "OLE", ".OLE", "ole"},
}};

static_assert(kEndMarkers[3].size() == kLongestEndMarker);

}  // namespace

const std::array<RawSignature, kSignatureCount>& SignatureTable() { return kTable; }

std::string_view EndMarkerBytes(RawEndMarker marker) { return kEndMarkers[static_cast<std::size_t>(marker)]; }

const std::array<RawKindCheck, 3>& RawKindChecks() { return kKindChecks; }

RawFileKind KindOfCarve(RawFileKind headerKind, int endRecord) {
  if (endRecord < 0 || endRecord >= kSignatureCount) return headerKind;
  const RawSignature& end = kTable[static_cast<std::size_t>(endRecord)];
  for (const RawSignature& record : kTable)
    if (record.kind == headerKind && record.header == end.header) return end.kind;
  return headerKind;
}

const RawKindTexts& KindTexts(RawFileKind kind) { return kTexts[static_cast<std::size_t>(kind)]; }

}  // namespace vantrel
