#include "disk/SectorReader.h"

#include <algorithm>

namespace vantrel {

ReadOutcome SectorReader::ReadQuietly(std::uint16_t disk, std::uint64_t firstSector,
                                      std::span<std::byte> buffer) {
  DiskSource* source = disks_.Source(disk);
  if (source == nullptr) return ReadOutcome::CannotOpen;
  return source->Read(firstSector * kSectorSize, buffer);
}

bool SectorReader::CopyQuietly(std::uint16_t disk, std::uint64_t firstSector, std::size_t bytes, int toFd,
                               std::uint64_t toOffset) {
  DiskSource* source = disks_.Source(disk);
  return source != nullptr && source->CopyRange(firstSector * kSectorSize, bytes, toFd, toOffset);
}

std::optional<std::uint64_t> SectorReader::SectorCount(std::uint16_t disk) {
  DiskSource* source = disks_.Source(disk);
  if (source == nullptr) return std::nullopt;
  const auto bytes = source->Size();
  if (!bytes) return std::nullopt;
  return *bytes / kSectorSize + (*bytes % kSectorSize != 0 ? 1 : 0);
}

bool UnreadSectors::AllRead(std::size_t offset, std::size_t length) const {
  if (length == 0) return true;
  const std::size_t first = offset / kSectorSize;
  const std::size_t last = (offset + length - 1) / kSectorSize;
  if (last >= sectors.size() || last < first) return false;
  for (std::size_t sector = first; sector <= last; ++sector)
    if (sectors[sector]) return false;
  return true;
}

int SectorReader::ReadSectors(const SectorReadRequest& request) {
  const std::uint64_t bytes = std::uint64_t{request.count} * kSectorSize;
  // A request larger than its buffer reads nothing, and says so with an empty list.
  if (request.unread != nullptr) request.unread->sectors.clear();
  if (bytes > request.buffer.size()) return 0;
  const auto run = request.buffer.first(static_cast<std::size_t>(bytes));
  const auto tell = [&](bool unread) {
    if (request.unread != nullptr) request.unread->sectors.assign(request.count, unread);
  };

  const ReadOutcome outcome = ReadQuietly(request.disk, request.firstSector, run);
  tell(outcome != ReadOutcome::Ok);
  if (outcome == ReadOutcome::Ok) return 1;
  if (outcome == ReadOutcome::CannotOpen) return 0;

  BadSectorPolicy policy = policy_.load();
  if (policy != BadSectorPolicy::RetryAll && policy != BadSectorPolicy::SkipAll) {
    policy = prompt_ != nullptr
                 ? prompt_->AskBadSector({request.firstSector, request.count, ReadsForFile::Current()})
                 : BadSectorPolicy::Skip;
    policy_.store(policy);
  }
  if (policy == BadSectorPolicy::Retry || policy == BadSectorPolicy::RetryAll) {
    // A sector that still fails holds zeros, never what the failed read left there.
    for (std::uint32_t i = 0; i < request.count; ++i) {
      const auto sector = run.subspan(std::size_t{i} * kSectorSize, kSectorSize);
      const bool read = ReadQuietly(request.disk, request.firstSector + i, sector) == ReadOutcome::Ok;
      if (!read) std::fill(sector.begin(), sector.end(), std::byte{0});
      if (request.unread != nullptr) request.unread->sectors[i] = !read;
    }
  }
  return 0;
}

}  // namespace vantrel
