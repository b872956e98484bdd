#include "raw/WholeFileScan.h"

#include <algorithm>

#include "base/AlignedBuffer.h"
#include "raw/CompoundFileSize.h"
#include "raw/TextDocumentSize.h"
#include "raw/ZipArchiveWalk.h"

namespace vantrel {

namespace {

constexpr std::uint64_t kSectorBytes = 512;

}  // namespace

std::optional<WholeFile> MeasureWholeFile(WholeFileFormat format, const ByteReader& read, std::uint64_t start,
                                          std::uint64_t limit, std::uint64_t textCap) {
  const std::uint64_t sector = start / kSectorBytes;
  switch (format) {
    case WholeFileFormat::Compound:
      if (const auto found = MeasureCompoundFile(read, start, limit)) return WholeFile{sector, found->bytes, found->kind};
      break;
    case WholeFileFormat::Zip:
      if (const auto found = WalkZipArchive(read, start, limit)) return WholeFile{sector, found->bytes, found->kind};
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
  AlignedBuffer block(std::size_t{kWholeFileBlockSectors} * kSectorBytes);
  std::uint64_t next = input.firstSector;
  while (next < input.endSector) {
    const std::uint64_t first = next;
    const auto count = static_cast<std::uint32_t>(std::min<std::uint64_t>(kWholeFileBlockSectors, input.endSector - first));
    input.readBlock(first, count, block.Bytes());
    next = first + count;
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint64_t sector = first + i;
      // A header at sector 0 is never carved, as in every run.
      if (sector == 0) continue;
      const WholeFileFormat format = WholeFileFormatAt(block.Bytes().subspan(std::size_t{i} * kSectorBytes, kSectorBytes));
      if (format == WholeFileFormat::None) continue;
      const std::uint64_t start = sector * kSectorBytes;
      if (start >= input.diskBytes) break;
      const auto file = MeasureWholeFile(format, input.readQuietly, start, input.diskBytes - start, input.textCap);
      if (!file) continue;
      callbacks.found(*file);
      // The scan goes on from the sector after the file's last one.
      const std::uint64_t after = sector + (file->bytes + kSectorBytes - 1) / kSectorBytes;
      if (after >= next) {
        next = after;
        break;
      }
      i = static_cast<std::uint32_t>(after - first) - 1;
    }
    if (!callbacks.goOn(std::min(next, input.endSector))) return;
  }
}

}  // namespace vantrel
