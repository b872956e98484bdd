#include "carving/QuietOffsetReader.h"

#include <array>
#include <cstring>
#include <vector>

namespace vantrel {

OffsetReader QuietOffsetReader(SectorReader& reader, std::uint16_t disk) {
  return [&reader, disk](std::uint64_t offset, MutableByteSpan bytes) {
    if (bytes.empty()) return true;
    const std::uint64_t first = offset / kSectorSize;
    const std::uint64_t last = (offset + bytes.size() + kSectorSize - 1) / kSectorSize;
    const std::uint64_t skip = offset - first * kSectorSize;
    if (skip == 0 && bytes.size() % kSectorSize == 0) return reader.ReadQuietly(disk, first, bytes) == ReadOutcome::Ok;
    // The small reads of record headers need no allocation.
    std::array<std::byte, 8 * kSectorSize> small;
    std::vector<std::byte> large;
    const auto length = static_cast<std::size_t>((last - first) * kSectorSize);
    if (length > small.size()) large.resize(length);
    const MutableByteSpan sectors = length > small.size() ? MutableByteSpan(large)
                                                          : MutableByteSpan(small).first(length);
    if (reader.ReadQuietly(disk, first, sectors) != ReadOutcome::Ok) return false;
    std::memcpy(bytes.data(), sectors.data() + skip, bytes.size());
    return true;
  };
}

}  // namespace vantrel
