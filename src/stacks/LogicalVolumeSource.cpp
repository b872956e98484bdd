#include "stacks/LogicalVolumeSource.h"

#include <algorithm>

#include "disk/SectorReader.h"

namespace vantrel {

namespace {

constexpr std::uint64_t kSectorBytes = kSectorSize;

}  // namespace

LogicalVolumeSource::LogicalVolumeSource(std::uint64_t extentSectors, std::vector<LvmSegment> segments,
                                         std::vector<LvmExtentSource> physicalVolumes, StackDescription description,
                                         std::vector<std::string> underlyingPaths)
    : extentBytes_(extentSectors * kSectorBytes),
      segments_(std::move(segments)),
      physicalVolumes_(std::move(physicalVolumes)),
      description_(std::move(description)),
      paths_(std::move(underlyingPaths)) {
  if (!segments_.empty()) size_ = (segments_.back().startExtent + segments_.back().extentCount) * extentBytes_;
}

ReadOutcome LogicalVolumeSource::Read(std::uint64_t offset, std::span<std::byte> buffer) {
  const std::uint64_t inside = offset < size_ ? std::min<std::uint64_t>(buffer.size(), size_ - offset) : 0;
  std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(inside), buffer.end(), std::byte{0});
  ReadOutcome outcome = ReadOutcome::Ok;
  std::uint64_t done = 0;
  while (done < inside) {
    const std::uint64_t at = offset + done;
    const std::uint64_t extent = at / extentBytes_;
    // The segments are in order and without gaps: the last one starting at or before the extent.
    const auto segment = std::prev(
        std::upper_bound(segments_.begin(), segments_.end(), extent,
                         [](std::uint64_t e, const LvmSegment& s) { return e < s.startExtent; }));
    const std::uint64_t inSegment = at - segment->startExtent * extentBytes_;
    const std::uint64_t segmentEnd = segment->extentCount * extentBytes_;
    std::uint64_t pieceEnd = segmentEnd;
    std::size_t stripe = 0;
    std::uint64_t onStripe = inSegment;
    if (segment->stripes.size() > 1) {
      const std::uint64_t chunkBytes = segment->stripeSectors * kSectorBytes;
      const std::uint64_t chunk = inSegment / chunkBytes;
      stripe = static_cast<std::size_t>(chunk % segment->stripes.size());
      onStripe = chunk / segment->stripes.size() * chunkBytes + inSegment % chunkBytes;
      pieceEnd = (chunk + 1) * chunkBytes;
    }
    const auto length = static_cast<std::size_t>(std::min(pieceEnd - inSegment, inside - done));
    const LvmStripe& place = segment->stripes[stripe];
    const LvmExtentSource& pv = physicalVolumes_[place.pv];
    const std::uint64_t pvByte = pv.firstExtentByte + place.firstExtent * extentBytes_ + onStripe;
    if (pv.source->Read(pvByte, buffer.subspan(static_cast<std::size_t>(done), length)) != ReadOutcome::Ok)
      outcome = ReadOutcome::Failed;
    done += length;
  }
  return outcome;
}

}  // namespace vantrel
