#pragma once
// Reads the windows of a scan one after the other, each as 40 requests of 20 sectors as
// far as the bad-sector prompts go, while the next window is already read on a helper
// thread: the disk and the search then work at the same time.

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

#include "base/AlignedBuffer.h"
#include "base/LittleEndian.h"
#include "disk/SectorReader.h"

namespace vantrel {

class WindowReader {
 public:
  WindowReader(SectorReader& reader, std::uint16_t disk);
  ~WindowReader();
  WindowReader(const WindowReader&) = delete;
  WindowReader& operator=(const WindowReader&) = delete;

  // The 800 sectors from `first`, valid until the next call. `next`, when given, is read
  // quietly in the background. A window read whole and asked for again is not read twice:
  // a second read would give the same bytes.
  ByteSpan Read(std::uint64_t first, std::optional<std::uint64_t> next);

 private:
  void ReadAhead();

  SectorReader& reader_;
  const std::uint16_t disk_;
  AlignedBuffer current_;
  std::optional<std::uint64_t> currentFirst_;  // set when current_ holds a whole window
  AlignedBuffer ahead_;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<std::uint64_t> requested_;   // for the helper to read
  std::optional<std::uint64_t> aheadFirst_;  // what ahead_ holds once the helper is idle
  ReadOutcome aheadOutcome_ = ReadOutcome::Failed;
  bool busy_ = false;
  bool quit_ = false;
  std::thread helper_;
};

}  // namespace vantrel
