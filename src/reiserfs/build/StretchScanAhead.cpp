#include "reiserfs/build/StretchScanAhead.h"

#include <algorithm>
#include <utility>

namespace vantrel {

namespace {

constexpr std::size_t kLanes = 2;
// Stretches decoded and waiting in each lane, beside the one the build may hold.
constexpr std::size_t kStretchesAhead = 2;

}  // namespace

StretchScanAhead::StretchScanAhead(const PartitionBlocks& blocks, std::uint32_t perStretch)
    : blocks_(blocks), perStretch_(std::max<std::uint32_t>(perStretch, 1)), count_(blocks.BlocksOnDisk()) {
  for (std::size_t l = 0; l < kLanes; ++l) {
    auto lane = std::make_unique<Lane>(std::size_t{perStretch_} * blocks.BlockSize());
    for (std::size_t i = 0; i <= kStretchesAhead; ++i) {
      lane->stretches.push_back(std::make_unique<ScannedStretch>());
      lane->free.push_back(lane->stretches.back().get());
    }
    lanes_.push_back(std::move(lane));
  }
  try {
    for (std::size_t l = 0; l < kLanes; ++l) lanes_[l]->thread = std::thread([this, l] { Run(l); });
  } catch (...) {
    Stop();
    throw;
  }
}

StretchScanAhead::~StretchScanAhead() { Stop(); }

void StretchScanAhead::Stop() {
  {
    const std::lock_guard lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  for (const auto& lane : lanes_)
    if (lane->thread.joinable()) lane->thread.join();
}

ScannedStretch* StretchScanAhead::Next() {
  std::unique_lock lock(mutex_);
  if (taken_ != nullptr) {
    lanes_[(next_ - 1) % kLanes]->free.push_back(taken_);
    taken_ = nullptr;
    changed_.notify_all();
  }
  // Stretch n is lane n % kLanes's; a lane that finished without it had no more to scan,
  // or met what it left in its error.
  Lane& lane = *lanes_[next_ % kLanes];
  changed_.wait(lock, [&lane] { return !lane.ready.empty() || lane.finished; });
  if (lane.ready.empty()) {
    if (lane.error) std::rethrow_exception(std::exchange(lane.error, nullptr));
    return nullptr;
  }
  taken_ = lane.ready.front();
  lane.ready.pop_front();
  ++next_;
  return taken_;
}

void StretchScanAhead::Run(std::size_t laneNumber) {
  Lane& lane = *lanes_[laneNumber];
  try {
    for (std::uint64_t first = laneNumber * std::uint64_t{perStretch_}; first < count_;
         first += kLanes * std::uint64_t{perStretch_}) {
      ScannedStretch* stretch = nullptr;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this, &lane] { return quit_ || !lane.free.empty(); });
        if (quit_) break;
        stretch = lane.free.back();
        lane.free.pop_back();
      }
      stretch->Reset(first, static_cast<std::uint32_t>(std::min<std::uint64_t>(perStretch_, count_ - first)));
      Scan(*stretch, lane);
      {
        const std::lock_guard lock(mutex_);
        lane.ready.push_back(stretch);
      }
      changed_.notify_all();
    }
  } catch (...) {
    const std::lock_guard lock(mutex_);
    lane.error = std::current_exception();
  }
  {
    const std::lock_guard lock(mutex_);
    lane.finished = true;
  }
  changed_.notify_all();
}

void StretchScanAhead::Scan(ScannedStretch& stretch, Lane& lane) {
  const std::uint32_t blockSize = blocks_.BlockSize();
  const auto first = static_cast<std::uint32_t>(stretch.firstBlock);
  const std::uint64_t firstSector = blocks_.FirstSector(first);
  const std::size_t length = std::size_t{stretch.blockCount} * blockSize;
  const auto bytes = lane.buffer.Bytes().first(length);
  if (blocks_.Disk().ReadQuietly(firstSector, bytes) != ReadOutcome::Ok) return;
  for (std::uint32_t k = 0; k < stretch.blockCount; ++k)
    ScanBlock(bytes.subspan(std::size_t{k} * blockSize, blockSize), first + k, nullptr, stretch);
  stretch.scanned = true;
}

}  // namespace vantrel
