#include "reiserfs/StretchScanAhead.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace vantrel {

namespace {

// Stretches decoded and waiting, beside the one the build holds.
constexpr std::size_t kStretchesAhead = 3;

}  // namespace

StretchScanAhead::StretchScanAhead(const PartitionBlocks& blocks, std::uint32_t perStretch)
    : blocks_(blocks),
      perStretch_(std::max<std::uint32_t>(perStretch, 1)),
      count_(blocks.BlocksOnDisk()),
      buffer_(std::size_t{perStretch_} * blocks.BlockSize(), AlignedBuffer::Uncleared::kYes) {
  for (std::size_t i = 0; i <= kStretchesAhead; ++i) {
    stretches_.push_back(std::make_unique<ScannedStretch>());
    free_.push_back(stretches_.back().get());
  }
  thread_ = std::thread([this] { Run(); });
}

StretchScanAhead::~StretchScanAhead() {
  {
    const std::lock_guard lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

ScannedStretch* StretchScanAhead::Next() {
  std::unique_lock lock(mutex_);
  if (taken_ != nullptr) {
    free_.push_back(taken_);
    taken_ = nullptr;
    changed_.notify_all();
  }
  changed_.wait(lock, [this] { return !ready_.empty() || finished_; });
  if (!ready_.empty()) {
    taken_ = ready_.front();
    ready_.pop_front();
    return taken_;
  }
  if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
  return nullptr;
}

void StretchScanAhead::Run() {
  try {
    for (std::uint64_t first = 0; first < count_; first += perStretch_) {
      ScannedStretch* stretch = nullptr;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return quit_ || !free_.empty(); });
        if (quit_) break;
        stretch = free_.back();
        free_.pop_back();
      }
      stretch->Reset(first, static_cast<std::uint32_t>(std::min<std::uint64_t>(perStretch_, count_ - first)));
      Scan(*stretch);
      {
        const std::lock_guard lock(mutex_);
        ready_.push_back(stretch);
      }
      changed_.notify_all();
    }
  } catch (...) {
    const std::lock_guard lock(mutex_);
    error_ = std::current_exception();
  }
  {
    const std::lock_guard lock(mutex_);
    finished_ = true;
  }
  changed_.notify_all();
}

void StretchScanAhead::Scan(ScannedStretch& stretch) {
  const std::uint32_t blockSize = blocks_.BlockSize();
  const auto first = static_cast<std::uint32_t>(stretch.firstBlock);
  const std::uint64_t firstSector = blocks_.FirstSector(first);
  const std::size_t length = std::size_t{stretch.blockCount} * blockSize;
  const std::optional<MappedBytes> mapped = blocks_.Disk().MapQuietly(firstSector, length);
  const auto buffer = buffer_.Bytes().first(length);
  if (!mapped && blocks_.Disk().ReadQuietly(firstSector, buffer) != ReadOutcome::Ok) return;
  const ByteSpan bytes = mapped ? mapped->Bytes() : buffer;
  for (std::uint32_t k = 0; k < stretch.blockCount; ++k)
    ScanBlock(bytes.subspan(std::size_t{k} * blockSize, blockSize), first + k, nullptr, stretch);
  stretch.scanned = true;
}

}  // namespace vantrel
