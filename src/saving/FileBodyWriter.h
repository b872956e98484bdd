#pragma once
// Writes the first `size` bytes of a file body to an open file: each block's content at
// its file position, holes as zeros, then the tails. Neighbouring blocks are read together;
// a stretch that fails is read again block by block, through the bad-sector policy.

#include <cstdint>
#include <functional>

#include "base/AlignedBuffer.h"
#include "saving/FileBody.h"

namespace vantrel {

struct BodyWriteResult {
  std::uint64_t length = 0;    // the length the file was given
  bool damaged = false;        // unreadable or impossible blocks were left as zeros, or misplaced ones written
  MisplacedBlock misplaced = MisplacedBlock::None;  // the first misplaced block's kind
  bool short_ = false;         // the body ends before the file's size
  bool interrupted = false;    // keepGoing said stop (Skip or Stop)
  int writeError = 0;          // errno of a failed write, 0 when every write succeeded
};

struct BodyWriteHooks {
  // Asked before every block; false ends the file where it is.
  std::function<bool()> keepGoing;
  // Called with the file length reached so far after each write.
  std::function<void(std::uint64_t)> progress;
};

class FileBodyWriter {
 public:
  static constexpr std::size_t kStretchBytes = std::size_t{1} << 20;

  explicit FileBodyWriter(PartitionBlocks& blocks);
  // fd is a file opened empty (created, or truncated).
  BodyWriteResult Write(int fd, const FileBody& body, std::uint64_t size, const BodyWriteHooks& hooks = {});

 private:
  PartitionBlocks& blocks_;
  AlignedBuffer stretch_;  // one read of neighbouring blocks
};

}  // namespace vantrel
