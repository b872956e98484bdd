#pragma once
// The length and content of a ZIP archive, of any version, found by walking its own
// records from the first local header: each entry's header and data (with its data
// descriptor where the sizes follow the data), the central directory, the ZIP64 end
// records where there are any, and the end-of-central-directory record, which must
// agree with what was walked.

#include <cstdint>
#include <optional>

#include "carving/OffsetReader.h"
#include "carving/RawSignatures.h"

namespace vantrel {

struct ZipArchiveFound {
  std::uint64_t bytes = 0;
  RawFileKind kind = RawFileKind::Zip;  // Docx, Xlsx, Pptx, Odt, Ods, Odp, Epub or Zip
  bool operator==(const ZipArchiveFound&) const = default;
};

// The archive whose first local header is at byte `start`, or nothing when its records
// do not hold together or it has no end record. Nothing at or beyond `limit` bytes past
// `start` is read. An entry whose sizes follow its data is searched for its end over
// `searchCap` bytes of data at most (a stray header would otherwise send the search to the
// disk's end).
std::optional<ZipArchiveFound> WalkZipArchive(const OffsetReader& read, std::uint64_t start, std::uint64_t limit,
                                              std::uint64_t searchCap = UINT64_MAX);

}  // namespace vantrel
