#include "carving/ZipContentKind.h"

#include <array>
#include <utility>

namespace vantrel {

namespace {

constexpr std::array<std::pair<std::string_view, RawFileKind>, 4> kMimeTypes = {{
    {"application/vnd.oasis.opendocument.text", RawFileKind::Odt},
    {"application/vnd.oasis.opendocument.spreadsheet", RawFileKind::Ods},
    {"application/vnd.oasis.opendocument.presentation", RawFileKind::Odp},
    {"application/epub+zip", RawFileKind::Epub},
}};

}  // namespace

void ZipContentKind::AddEntry(std::string_view name, std::string_view storedText) {
  if (first_ && name == "mimetype") {
    // Some writers end the text with a line break.
    while (!storedText.empty() && (storedText.back() == '\n' || storedText.back() == '\r')) storedText.remove_suffix(1);
    for (const auto& [text, kind] : kMimeTypes)
      if (storedText == text) mimeKind_ = kind;
  }
  first_ = false;
  if (name == "[Content_Types].xml") contentTypes_ = true;
  if (name.starts_with("word/")) word_ = true;
  if (name.starts_with("xl/")) excel_ = true;
  if (name.starts_with("ppt/")) powerPoint_ = true;
}

RawFileKind ZipContentKind::Kind() const {
  if (mimeKind_ != RawFileKind::Zip) return mimeKind_;
  if (contentTypes_) {
    if (word_) return RawFileKind::Docx;
    if (excel_) return RawFileKind::Xlsx;
    if (powerPoint_) return RawFileKind::Pptx;
  }
  return RawFileKind::Zip;
}

}  // namespace vantrel
