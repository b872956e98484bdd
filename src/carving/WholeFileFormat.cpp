#include "carving/WholeFileFormat.h"

#include <cstring>
#include <string_view>

namespace vantrel {

namespace {

using namespace std::string_view_literals;

constexpr std::string_view kCompound = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"sv;
constexpr std::string_view kZip = "PK\x03\x04"sv;
constexpr std::string_view kPdf = "%PDF-"sv;
constexpr std::string_view kRtf = "{\\rtf"sv;

bool Starts(ByteSpan bytes, std::string_view text) {
  return bytes.size() >= text.size() && std::memcmp(bytes.data(), text.data(), text.size()) == 0;
}

}  // namespace

WholeFileFormat WholeFileFormatAt(ByteSpan sector) {
  if (sector.empty()) return WholeFileFormat::None;
  // One look at the first byte settles most sectors.
  switch (static_cast<char>(sector[0])) {
    case '\xD0': return Starts(sector, kCompound) ? WholeFileFormat::Compound : WholeFileFormat::None;
    case 'P': return Starts(sector, kZip) ? WholeFileFormat::Zip : WholeFileFormat::None;
    case '%': return Starts(sector, kPdf) ? WholeFileFormat::Pdf : WholeFileFormat::None;
    case '{': return Starts(sector, kRtf) ? WholeFileFormat::Rtf : WholeFileFormat::None;
    default: return WholeFileFormat::None;
  }
}

}  // namespace vantrel
