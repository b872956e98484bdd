#pragma once
// Every byte taken from a disk passes through ReadSectors: a run of 512-byte sectors of
// one disk, by absolute sector number, under the program's one bad-sector policy.

#include <atomic>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "disk/BadSectorPrompt.h"
#include "disk/DiskNameTable.h"

namespace vantrel {

inline constexpr std::uint32_t kSectorSize = 512;

// The sectors of a read that do not hold the disk's bytes: those that failed even when
// read again on their own, or every sector of a read that failed and was skipped.
struct UnreadSectors {
  std::vector<bool> sectors;  // one per sector of the request; true when it was not read

  // True when bytes [offset, offset + length) of the request's buffer lie in sectors that
  // were read.
  bool AllRead(std::size_t offset, std::size_t length) const;
};

struct SectorReadRequest {
  std::uint16_t disk = 0;           // entry of the DiskNameTable
  std::uint64_t firstSector = 0;    // absolute sector number
  std::uint32_t count = 0;          // sectors to read
  std::span<std::byte> buffer;      // at least count * 512 bytes; sector i at i * 512
  UnreadSectors* unread = nullptr;  // when set, told which sectors did not arrive
};

class SectorReader {
 public:
  // Without a prompt a failed read is answered Skip.
  explicit SectorReader(DiskNameTable& disks, BadSectorPrompt* prompt = nullptr) : disks_(disks), prompt_(prompt) {}
  void SetPrompt(BadSectorPrompt* prompt) { prompt_ = prompt; }

  // Non-zero when the whole run was read. On a failed read the user is asked "Bad Sector
  // Encountered" unless a sticky answer was given; under Retry (All) each sector of the
  // run is then read once on its own, so that the readable ones reach the buffer (the
  // sectors that still fail are zeros), and the result is still 0. A disk that cannot be opened gives 0 without a
  // prompt and leaves the buffer untouched.
  int ReadSectors(const SectorReadRequest& request);

  // One read of the run with no prompt and no sector-by-sector pass: the fast path of
  // large scans, which repeat a failed stretch through ReadSectors in the requests the
  // user would otherwise have been asked about.
  ReadOutcome ReadQuietly(std::uint16_t disk, std::uint64_t firstSector, std::span<std::byte> buffer);

  // Copies bytes from firstSector on straight into the file toFd at toOffset where the disk
  // can (an image file); false when it cannot, and the caller reads and writes them itself.
  bool CopyQuietly(std::uint16_t disk, std::uint64_t firstSector, std::size_t bytes, int toFd, std::uint64_t toOffset);

  // The disk's size in whole and partial sectors, or nothing when it cannot be opened.
  std::optional<std::uint64_t> SectorCount(std::uint16_t disk);

  BadSectorPolicy Policy() const { return policy_.load(); }

 private:
  DiskNameTable& disks_;
  BadSectorPrompt* prompt_;
  // Starts as Retry; only the prompt changes it, and Retry All and Skip All stay for the
  // rest of the run.
  std::atomic<BadSectorPolicy> policy_{BadSectorPolicy::Retry};
};

}  // namespace vantrel
