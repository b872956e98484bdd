#pragma once
// The length of a ZIP archive from its end-of-central-directory record: the record that
// says its central directory ends right where the record begins, counted from the
// archive's first byte.

#include <cstdint>
#include <optional>

#include "raw/ByteReader.h"

namespace vantrel {

// Size in bytes of the archive that starts at byte `start`, from the first fitting record
// that begins before byte `searchEnd`, or nothing when there is none. The archive may not
// reach `limit` bytes past `start`.
std::optional<std::uint64_t> ZipArchiveSize(const ByteReader& read, std::uint64_t start, std::uint64_t searchEnd,
                                            std::uint64_t limit);

}  // namespace vantrel
