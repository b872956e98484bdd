#pragma once
// A disk held in memory, with sectors that can be made to fail: for crafted cases that
// no real image shows.

#include <atomic>
#include <functional>
#include <set>
#include <vector>

#include "disk/DiskSource.h"
#include "disk/SectorReader.h"

namespace vantrel::test {

class MemoryDiskSource : public DiskSource {
 public:
  explicit MemoryDiskSource(std::size_t sectors) : bytes_(sectors * kSectorSize) {}

  ReadOutcome Read(std::uint64_t offset, std::span<std::byte> buffer) override;
  std::optional<std::uint64_t> Size() override { return bytes_.size(); }
  std::string OpenError() override { return {}; }

  std::span<std::byte> Sector(std::uint64_t sector) {
    return std::span(bytes_).subspan(sector * kSectorSize, kSectorSize);
  }
  void FailSector(std::uint64_t sector) { failing_.insert(sector); }
  int Reads() const { return reads_; }
  // Called before every read with its byte offset and length (a test's tripwire).
  std::function<void(std::uint64_t offset, std::size_t length)> onRead;
  std::uint64_t BytesRead() const { return bytesRead_; }

 private:
  std::vector<std::byte> bytes_;
  std::set<std::uint64_t> failing_;
  std::atomic<int> reads_ = 0;
  std::atomic<std::uint64_t> bytesRead_ = 0;
};

}  // namespace vantrel::test
