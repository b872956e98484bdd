#pragma once
// One disk of the sector reader: what the engines that read a single disk are given.

#include <cstdint>
#include <span>

#include "disk/SectorReader.h"

namespace vantrel {

class DiskReader {
 public:
  DiskReader(SectorReader& reader, std::uint16_t disk) : reader_(&reader), disk_(disk) {}

  // ReadSectors of the sector reader, on this disk.
  int ReadSectors(std::uint64_t firstSector, std::uint32_t count, std::span<std::byte> buffer,
                  UnreadSectors* unread = nullptr) const {
    return reader_->ReadSectors({disk_, firstSector, count, buffer, unread});
  }
  ReadOutcome ReadQuietly(std::uint64_t firstSector, std::span<std::byte> buffer) const {
    return reader_->ReadQuietly(disk_, firstSector, buffer);
  }
  bool CopyQuietly(std::uint64_t firstSector, std::size_t bytes, int toFd, std::uint64_t toOffset) const {
    return reader_->CopyQuietly(disk_, firstSector, bytes, toFd, toOffset);
  }

  std::optional<std::uint64_t> SectorCount() const { return reader_->SectorCount(disk_); }

  std::uint16_t Disk() const { return disk_; }
  SectorReader& Reader() const { return *reader_; }

 private:
  SectorReader* reader_;
  std::uint16_t disk_;
};

}  // namespace vantrel
