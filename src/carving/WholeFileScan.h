#pragma once
// Carving whole files: the range is read front to back in large blocks, once (ScanBuffer
// keeps what sizing and copying need), every sector is looked at for a header, and each header is sized by its file's
// own structures. A file that holds together is handed on once, whole, and the scan goes on after its end, so that what
// lies inside it (an image in a document, a document stored in an archive) does not start another file; a header whose
// structure does not hold starts nothing.

#include <cstdint>
#include <functional>
#include <optional>

#include "carving/OffsetReader.h"
#include "carving/RawSignatures.h"
#include "carving/WholeFileFormat.h"

namespace vantrel {

inline constexpr std::uint64_t kDefaultTextDocumentCap = std::uint64_t{256} << 20;

struct WholeFile {
  std::uint64_t startSector = 0;
  std::uint64_t bytes = 0;
  RawFileKind kind = RawFileKind::Zip;
  bool operator==(const WholeFile&) const = default;
};

// The file whose header of `format` is at byte `start`, sized within `limit` bytes (the
// rest of the disk); PDF and RTF files, and ZIP entries whose sizes follow their data, are
// searched for their end over `textCap` bytes at most.
std::optional<WholeFile> MeasureWholeFile(WholeFileFormat format, const OffsetReader& read, std::uint64_t start,
                                          std::uint64_t limit, std::uint64_t textCap);

struct WholeFileScanInput {
  // Reads `count` sectors from `first` (the scan's blocks, in disk order); true when all
  // of them were read.
  std::function<bool(std::uint64_t first, std::uint32_t count, MutableByteSpan buffer)> readBlock;
  OffsetReader readQuietly;  // for the sizing, where it reads beyond what the scan holds
  std::uint64_t firstSector = 0;
  std::uint64_t endSector = 0;  // first sector after the range
  std::uint64_t diskBytes = 0;  // files may run on to the disk's end
  std::uint64_t textCap = kDefaultTextDocumentCap;
};

struct WholeFileScanCallbacks {
  // A file sized whole, with the bytes of it the scan already holds (from its start; all
  // of it, part of it or none), which need not be read again.
  std::function<void(const WholeFile&, ByteSpan held)> found;
  // A header whose file did not hold together within its bounds: nothing is written.
  std::function<void(WholeFileFormat, std::uint64_t sector)> notSized;
  // After each block, with the next sector to read; false stops the scan.
  std::function<bool(std::uint64_t nextSector)> goOn;
};

void ScanWholeFiles(const WholeFileScanInput& input, const WholeFileScanCallbacks& callbacks);

}  // namespace vantrel
