#include "carving/WindowReader.h"

#include <utility>

#include "disk/ReadInRequests.h"
#include "carving/CarvePlan.h"
#include "carving/WindowScan.h"

namespace vantrel {

WindowReader::WindowReader(SectorReader& reader, std::uint16_t disk)
    : reader_(reader), disk_(disk), current_(kWindowBytes), ahead_(kWindowBytes), helper_([this] { ReadAhead(); }) {}

WindowReader::~WindowReader() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  helper_.join();
}

void WindowReader::ReadAhead() {
  std::unique_lock lock(mutex_);
  while (true) {
    changed_.wait(lock, [this] { return quit_ || requested_.has_value(); });
    if (quit_) return;
    const std::uint64_t first = *requested_;
    requested_.reset();
    lock.unlock();
    const ReadOutcome outcome = reader_.ReadQuietly(disk_, first, ahead_.Bytes());
    lock.lock();
    aheadFirst_ = first;
    aheadOutcome_ = outcome;
    busy_ = false;
    changed_.notify_all();
  }
}

ByteSpan WindowReader::Read(std::uint64_t first, std::optional<std::uint64_t> next) {
  enum class Source { Current, Ahead, QuietRead, Requests } source = Source::QuietRead;
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !busy_; });
  if (aheadFirst_ == first) {
    source = aheadOutcome_ == ReadOutcome::Ok ? Source::Ahead : Source::Requests;
    aheadFirst_.reset();
  } else if (currentFirst_ == first) {
    source = Source::Current;
  }
  if (source == Source::Ahead) std::swap(current_, ahead_);
  if (next && aheadFirst_ != next) {
    requested_ = next;
    busy_ = true;
    changed_.notify_all();
  }
  lock.unlock();

  bool whole = source == Source::Ahead || source == Source::Current;
  if (source == Source::QuietRead)
    whole = ReadInRequests(reader_, disk_, first, kWindowSectors, kCarveChunkSectors, current_.Bytes());
  if (source == Source::Requests)
    whole = ReadRequestByRequest(reader_, disk_, first, kWindowSectors, kCarveChunkSectors, current_.Bytes());
  currentFirst_ = whole ? std::optional(first) : std::nullopt;
  return current_.Bytes();
}

}  // namespace vantrel
