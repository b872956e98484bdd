#pragma once
// The length of the documents that have no table of their own sizes: a PDF file runs to
// its last "%%EOF" (an update appended to it follows an earlier one), an RTF file to the
// brace that closes its first.

#include <cstdint>
#include <optional>

#include "carving/OffsetReader.h"

namespace vantrel {

// The PDF file whose "%PDF-" header is at byte `start` (a sector start): to the end of
// the line of the "%%EOF" after which no object, cross-reference table or update follows.
// It ends before the next sector that begins with a header of a file carved whole, and
// within `limit` bytes; nothing when no "%%EOF" lies there.
std::optional<std::uint64_t> PdfFileSize(const OffsetReader& read, std::uint64_t start, std::uint64_t limit);

// The RTF file whose "{\rtf" is at byte `start`: up to and with the brace that balances
// the first, escaped braces and \bin data passed over; nothing when a zero byte (no text)
// or `limit` comes first.
std::optional<std::uint64_t> RtfFileSize(const OffsetReader& read, std::uint64_t start, std::uint64_t limit);

}  // namespace vantrel
