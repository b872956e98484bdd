#pragma once
// The reading and decoding half of a scan of every block, on threads of their own: while a
// build takes in the items of one stretch of blocks, the next stretches are read whole and
// their leaves decoded. Two lanes take turns, stretch by stretch, so that the reading and
// decoding, the larger half of the work, is shared out; the build gets the stretches back
// in block order. At most a few stretches wait in each lane: memory stays bounded however
// large the partition. A stretch that cannot be read whole is handed on unscanned, and the
// build reads it block by block through the bad-sector policy, on its own thread and in
// its place in the order.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "base/AlignedBuffer.h"
#include "reiserfs/format/PartitionBlocks.h"
#include "reiserfs/build/ScannedStretch.h"

namespace vantrel {

class StretchScanAhead {
 public:
  // Scans blocks 0 to BlocksOnDisk() - 1 in stretches of perStretch blocks (at least 1).
  // blocks must outlive the scan; only its const members are used, from the scan's threads.
  StretchScanAhead(const PartitionBlocks& blocks, std::uint32_t perStretch);
  // Stops the scan after the stretches in hand and waits for its threads.
  ~StretchScanAhead();
  StretchScanAhead(const StretchScanAhead&) = delete;
  StretchScanAhead& operator=(const StretchScanAhead&) = delete;

  // The next stretch in block order, valid until the next call; nullptr after the last.
  // Rethrows what ended the scan early (an allocation that failed), in its place.
  ScannedStretch* Next();

 private:
  struct Lane {
    explicit Lane(std::size_t bufferBytes) : buffer(bufferBytes, AlignedBuffer::Uncleared::kYes) {}
    std::vector<std::unique_ptr<ScannedStretch>> stretches;
    std::vector<ScannedStretch*> free;
    std::deque<ScannedStretch*> ready;
    bool finished = false;
    std::exception_ptr error;
    AlignedBuffer buffer;  // the stretch being read
    std::thread thread;
  };

  // Asks the lanes to end after the stretch in hand and waits for them.
  void Stop();
  void Run(std::size_t lane);
  void Scan(ScannedStretch& stretch, Lane& lane);

  const PartitionBlocks& blocks_;
  const std::uint32_t perStretch_;
  const std::uint32_t count_;
  std::vector<std::unique_ptr<Lane>> lanes_;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::uint64_t next_ = 0;           // the number of the next stretch handed to the build
  ScannedStretch* taken_ = nullptr;  // stretch next_ - 1, the build's until it asks again
  bool quit_ = false;
};

}  // namespace vantrel
