#include "support/MemoryDiskSource.h"

#include <algorithm>
#include <cstring>

namespace vantrel::test {

ReadOutcome MemoryDiskSource::Read(std::uint64_t offset, std::span<std::byte> buffer) {
  if (onRead) onRead(offset, buffer.size());
  ++reads_;
  bytesRead_ += buffer.size();
  const std::uint64_t first = offset / kSectorSize;
  const std::uint64_t last = (offset + buffer.size() + kSectorSize - 1) / kSectorSize;
  for (std::uint64_t sector = first; sector < last; ++sector)
    if (failing_.count(sector)) return ReadOutcome::Failed;
  std::fill(buffer.begin(), buffer.end(), std::byte{0});
  if (offset < bytes_.size()) {
    const std::size_t n = std::min<std::size_t>(buffer.size(), bytes_.size() - offset);
    std::memcpy(buffer.data(), bytes_.data() + offset, n);
  }
  return ReadOutcome::Ok;
}

}  // namespace vantrel::test
