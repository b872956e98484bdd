#include "carving/WholeFileScan.h"

#include <algorithm>

#include "carving/CompoundFileSize.h"
#include "carving/ScanBuffer.h"
#include "carving/TextDocumentSize.h"
#include "carving/ZipArchiveWalk.h"

namespace vantrel {

namespace {

constexpr std::uint64_t kSectorBytes = 512;

}  // namespace

std::optional<WholeFile> MeasureWholeFile(WholeFileFormat format, const OffsetReader& read, std::uint64_t start,
                                          std::uint64_t limit, std::uint64_t textCap) {
  const std::uint64_t sector = start / kSectorBytes;
  switch (format) {
    case WholeFileFormat::Compound:
      if (const auto found = MeasureCompoundFile(read, start, limit)) return WholeFile{sector, found->bytes, found->kind};
      break;
    case WholeFileFormat::Zip:
      if (const auto found = WalkZipArchive(read, start, limit, textCap))
        return WholeFile{sector, found->bytes, found->kind};
      break;
    case WholeFileFormat::Pdf:
      if (const auto bytes = PdfFileSize(read, start, std::min(limit, textCap)))
        return WholeFile{sector, *bytes, RawFileKind::Pdf};
      break;
    case WholeFileFormat::Rtf:
      if (const auto bytes = RtfFileSize(read, start, std::min(limit, textCap)))
        return WholeFile{sector, *bytes, RawFileKind::Rtf};
      break;
    case WholeFileFormat::None: break;
  }
  return std::nullopt;
}

void ScanWholeFiles(const WholeFileScanInput& input, const WholeFileScanCallbacks& callbacks) {
  const OffsetReader quiet = input.readQuietly;
  ScanBuffer buffer({.scanRead = input.readBlock,
                     .quietRead =
                         [quiet](std::uint64_t first, std::uint32_t count, MutableByteSpan bytes) {
                           return quiet(first * kSectorBytes, bytes.first(std::size_t{count} * kSectorBytes));
                         },
                     .fallback = quiet,
                     .firstSector = input.firstSector,
                     .endSector = input.endSector,
                     .diskSectors = (input.diskBytes + kSectorBytes - 1) / kSectorBytes});
  const OffsetReader read = buffer.Reader();
  std::uint64_t next = input.firstSector;
  while (next < input.endSector) {
    const ByteSpan block = buffer.ScanFrom(next);
    if (block.empty()) return;
    const std::uint64_t blockEnd = next + block.size() / kSectorBytes;
    std::uint64_t sector = next;
    WholeFileFormat format = WholeFileFormat::None;
    for (; sector < blockEnd; ++sector) {
      // A header at sector 0 is never carved, as in every run.
      if (sector == 0) continue;
      format = WholeFileFormatAt(block.subspan((sector - next) * kSectorBytes, kSectorBytes));
      if (format != WholeFileFormat::None) break;
    }
    next = sector + 1;
    const std::uint64_t start = sector * kSectorBytes;
    if (format == WholeFileFormat::None || start >= input.diskBytes) {
      next = blockEnd;
    } else if (const auto file = MeasureWholeFile(format, read, start, input.diskBytes - start, input.textCap)) {
      callbacks.found(*file, buffer.Held(start, file->bytes));
      // The scan goes on from the sector after the file's last one.
      next = sector + std::max<std::uint64_t>(1, (file->bytes + kSectorBytes - 1) / kSectorBytes);
    } else if (callbacks.notSized) {
      callbacks.notSized(format, sector);
    }
    if (next >= blockEnd && !callbacks.goOn(std::min(next, input.endSector))) return;
  }
}

}  // namespace vantrel
