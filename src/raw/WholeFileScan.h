#pragma once
// Carving whole files: the range is read front to back in large blocks, every sector is
// looked at for a header, and each header is sized by its file's own structures. A file
// that holds together is handed on once, whole, and the scan goes on after its end, so
// that what lies inside it (an image in a document, a document stored in an archive)
// does not start another file; a header whose structure does not hold starts nothing.

#include <cstdint>
#include <functional>
#include <optional>

#include "raw/ByteReader.h"
#include "raw/RawSignatures.h"
#include "raw/WholeFileFormat.h"

namespace vantrel {

inline constexpr std::uint32_t kWholeFileBlockSectors = 2048;  // 1 MiB per read
inline constexpr std::uint64_t kDefaultTextDocumentCap = std::uint64_t{256} << 20;

struct WholeFile {
  std::uint64_t startSector = 0;
  std::uint64_t bytes = 0;
  RawFileKind kind = RawFileKind::Zip;
  bool operator==(const WholeFile&) const = default;
};

// The file whose header of `format` is at byte `start`, sized within `limit` bytes (the
// rest of the disk); PDF and RTF files are searched for their end over `textCap` bytes at
// most.
std::optional<WholeFile> MeasureWholeFile(WholeFileFormat format, const ByteReader& read, std::uint64_t start,
                                          std::uint64_t limit, std::uint64_t textCap);

struct WholeFileScanInput {
  // Reads `count` sectors from `first` (the scan's blocks, in disk order).
  std::function<void(std::uint64_t first, std::uint32_t count, MutableByteSpan buffer)> readBlock;
  ByteReader readQuietly;  // for the sizing
  std::uint64_t firstSector = 0;
  std::uint64_t endSector = 0;  // first sector after the range
  std::uint64_t diskBytes = 0;  // files may run on to the disk's end
  std::uint64_t textCap = kDefaultTextDocumentCap;
};

struct WholeFileScanCallbacks {
  std::function<void(const WholeFile&)> found;
  // After each block, with the next sector to read; false stops the scan.
  std::function<bool(std::uint64_t nextSector)> goOn;
};

void ScanWholeFiles(const WholeFileScanInput& input, const WholeFileScanCallbacks& callbacks);

}  // namespace vantrel
