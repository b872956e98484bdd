#include "disk/ReadInRequests.h"

#include <algorithm>

namespace vantrel {

bool ReadInRequests(SectorReader& reader, std::uint16_t disk, std::uint64_t first, std::uint32_t count,
                    std::uint32_t requestSectors, std::span<std::byte> buffer) {
  const std::size_t bytes = std::size_t{count} * kSectorSize;
  if (bytes > buffer.size() || requestSectors == 0) return false;
  if (reader.ReadQuietly(disk, first, buffer.first(bytes)) == ReadOutcome::Ok) return true;
  return ReadRequestByRequest(reader, disk, first, count, requestSectors, buffer);
}

bool ReadRequestByRequest(SectorReader& reader, std::uint16_t disk, std::uint64_t first, std::uint32_t count,
                          std::uint32_t requestSectors, std::span<std::byte> buffer) {
  const std::size_t bytes = std::size_t{count} * kSectorSize;
  if (bytes > buffer.size() || requestSectors == 0) return false;
  const auto run = buffer.first(bytes);
  std::fill(run.begin(), run.end(), std::byte{0});
  bool whole = true;
  for (std::uint32_t done = 0; done < count; done += requestSectors) {
    const std::uint32_t sectors = std::min(requestSectors, count - done);
    const auto request = run.subspan(std::size_t{done} * kSectorSize, std::size_t{sectors} * kSectorSize);
    if (reader.ReadSectors({disk, first + done, sectors, request}) == 0) whole = false;
  }
  return whole;
}

}  // namespace vantrel
