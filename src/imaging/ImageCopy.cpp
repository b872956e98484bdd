#include "imaging/ImageCopy.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "base/AlignedBuffer.h"

namespace vantrel {

namespace {

// Zeros are left as holes in blocks of this size (the file systems' block size or more).
constexpr std::size_t kHoleBlock = 64 << 10;

bool AllZero(std::span<const std::byte> bytes) {
  return bytes.empty() ||
         (bytes[0] == std::byte{0} && std::memcmp(bytes.data(), bytes.data() + 1, bytes.size() - 1) == 0);
}

// Writes all of bytes at offset (pwrite on a sparse file, write on anything else).
bool WriteAll(const ImageOutput& output, std::uint64_t offset, std::span<const std::byte> bytes, std::string& error) {
  while (!bytes.empty()) {
    const ssize_t written = output.sparse ? ::pwrite(output.fd, bytes.data(), bytes.size(), static_cast<off_t>(offset))
                                          : ::write(output.fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      error = written < 0 ? std::generic_category().message(errno) : "the output took no more bytes";
      return false;
    }
    bytes = bytes.subspan(static_cast<std::size_t>(written));
    offset += static_cast<std::uint64_t>(written);
  }
  return true;
}

// Writes a piece of the image, leaving the zero blocks of a sparse output as holes.
bool WritePiece(const ImageOutput& output, std::uint64_t offset, std::span<const std::byte> bytes,
                ImageReport& report) {
  if (!output.sparse) return WriteAll(output, offset, bytes, report.writeError);
  std::size_t at = 0;
  while (at < bytes.size()) {
    std::size_t end = at;
    const bool zeros = AllZero(bytes.subspan(at, std::min(kHoleBlock, bytes.size() - at)));
    while (end < bytes.size()) {
      const auto block = bytes.subspan(end, std::min(kHoleBlock, bytes.size() - end));
      if (AllZero(block) != zeros) break;
      end += block.size();
    }
    if (zeros)
      report.holeBytes += end - at;
    else if (!WriteAll(output, offset + at, bytes.subspan(at, end - at), report.writeError))
      return false;
    at = end;
  }
  return true;
}

// Adds [offset, offset + length) to the unread stretches, joining it to the last one it follows.
void NoteUnread(std::vector<ImageStretch>& unread, std::uint64_t offset, std::uint64_t length) {
  if (!unread.empty() && unread.back().offset + unread.back().length == offset)
    unread.back().length += length;
  else
    unread.push_back({offset, length});
}

// Reads one piece; a failed read is read again under the bad-sector policy, and the
// sectors still unread are zeros and noted.
void ReadPiece(const DiskReader& disk, std::uint64_t sector, std::span<std::byte> into, std::uint64_t imageOffset,
               ImageReport& report) {
  if (disk.ReadQuietly(sector, into) == ReadOutcome::Ok) return;
  UnreadSectors unread;
  const auto count = static_cast<std::uint32_t>(into.size() / kSectorSize);
  if (disk.ReadSectors(sector, count, into, &unread) != 0) return;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (i < unread.sectors.size() && !unread.sectors[i]) continue;
    std::fill_n(into.begin() + std::ptrdiff_t{i} * kSectorSize, kSectorSize, std::byte{0});
    NoteUnread(report.unread, imageOffset + std::uint64_t{i} * kSectorSize, kSectorSize);
  }
}

}  // namespace

ImageReport CopyDiskImage(const DiskReader& disk, std::uint64_t firstSector, std::uint64_t sectors,
                          const ImageOutput& output, ImageProgress* progress, const StopToken& stop) {
  ImageReport report;
  report.totalBytes = sectors * kSectorSize;
  AlignedBuffer buffer(kImageReadBytes, AlignedBuffer::Uncleared::kYes);
  while (report.doneBytes < report.totalBytes) {
    if (stop.Requested()) {
      report.stopped = true;
      break;
    }
    const auto length = static_cast<std::size_t>(
        std::min<std::uint64_t>(kImageReadBytes, report.totalBytes - report.doneBytes));
    const auto piece = buffer.Bytes().first(length);
    ReadPiece(disk, firstSector + report.doneBytes / kSectorSize, piece, report.doneBytes, report);
    if (!WritePiece(output, report.doneBytes, piece, report)) break;
    report.doneBytes += length;
    if (progress != nullptr) progress->OnImaged(report.doneBytes, report.totalBytes);
  }
  // A sparse file gets its full length, trailing holes included.
  if (output.sparse && report.writeError.empty() && ::ftruncate(output.fd, static_cast<off_t>(report.doneBytes)) != 0)
    report.writeError = std::generic_category().message(errno);
  return report;
}

}  // namespace vantrel
