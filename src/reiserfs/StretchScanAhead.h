#pragma once
// The reading and decoding half of a scan of every block, on a thread of its own: while a
// build takes in the items of one stretch of blocks, the next stretches are read (mapped
// where the disk is an image file, read whole otherwise) and their leaves decoded. At most
// a few stretches wait: memory stays bounded however large the partition. A stretch that
// cannot be read whole is handed on unscanned, and the build reads it block by block
// through the bad-sector policy, on its own thread and in its place in the order.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "base/AlignedBuffer.h"
#include "reiserfs/PartitionBlocks.h"
#include "reiserfs/ScannedStretch.h"

namespace vantrel {

class StretchScanAhead {
 public:
  // Scans blocks 0 to BlocksOnDisk() - 1 in stretches of perStretch blocks (at least 1).
  // blocks must outlive the scan; only its const members are used, from the scan's thread.
  StretchScanAhead(const PartitionBlocks& blocks, std::uint32_t perStretch);
  // Stops the scan after the stretch in hand and waits for its thread.
  ~StretchScanAhead();
  StretchScanAhead(const StretchScanAhead&) = delete;
  StretchScanAhead& operator=(const StretchScanAhead&) = delete;

  // The next stretch in block order, valid until the next call; nullptr after the last.
  // Rethrows what ended the scan early (an allocation that failed), in its place.
  ScannedStretch* Next();

 private:
  void Run();
  void Scan(ScannedStretch& stretch);

  const PartitionBlocks& blocks_;
  const std::uint32_t perStretch_;
  const std::uint32_t count_;
  AlignedBuffer buffer_;  // for stretches read rather than mapped
  std::vector<std::unique_ptr<ScannedStretch>> stretches_;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<ScannedStretch*> free_;
  std::deque<ScannedStretch*> ready_;
  ScannedStretch* taken_ = nullptr;
  bool finished_ = false;
  bool quit_ = false;
  std::exception_ptr error_;
  std::thread thread_;
};

}  // namespace vantrel
