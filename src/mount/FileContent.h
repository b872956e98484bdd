#pragma once
// A file's bytes by position, for reads at any offset from many threads: the block
// pointers and tails of its body (as saving resolves them), and the stretches no item
// accounts for. Reads go to the disk in runs of neighbouring blocks; a run that fails is
// read again block by block through the bad-sector policy. Holes read as zeros; bytes
// that are missing or unreadable read as zeros and count as damaged.

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "saving/FileBody.h"

namespace vantrel::mount {

struct ContentRead {
  std::size_t length = 0;  // bytes given (0 at or past the end)
  bool damaged = false;    // some of them could not be read or are missing
};

class FileContent {
 public:
  FileContent(const FileBody& body, std::uint64_t size, std::uint32_t blockSize, std::uint32_t blockCount);

  std::uint64_t Size() const { return size_; }
  // The end of the bytes some item accounts for: the size of a file whose stat data is gone.
  std::uint64_t CoveredEnd() const { return coveredEnd_; }
  // Items unreadable, impossible block numbers or bytes no item accounts for.
  bool KnownDamaged() const { return knownDamaged_; }

  // Fills `out` with the bytes from `offset` on (at most up to the size).
  ContentRead Read(PartitionBlocks& blocks, std::uint64_t offset, std::span<std::byte> out) const;

 private:
  bool Readable(std::uint32_t block) const { return block != 0 && block < blockCount_; }
  bool ReadRun(PartitionBlocks& blocks, std::size_t first, std::size_t end, std::uint64_t from, std::uint64_t to,
               std::span<std::byte> out) const;

  std::vector<BlockPointer> pointers_;                            // in file order, one per position
  std::vector<TailBytes> tails_;                                  // in the order found: later ones win
  std::vector<std::pair<std::uint64_t, std::uint64_t>> missing_;  // [from, to) no item accounts for
  std::uint64_t size_;
  std::uint64_t coveredEnd_ = 0;
  std::uint32_t blockSize_;
  std::uint32_t blockCount_;
  bool knownDamaged_ = false;
};

}  // namespace vantrel::mount
