#include "mount/FileContent.h"

#include <algorithm>
#include <cstring>

namespace vantrel::mount {

namespace {

// Reads of more blocks than this are split: each stays one request to the disk.
constexpr std::size_t kMostRunBytes = std::size_t{4} << 20;

}  // namespace

FileContent::FileContent(const FileBody& body, std::uint64_t size, std::uint32_t blockSize, std::uint32_t blockCount)
    : pointers_(EffectivePointers(body, size)), size_(size), blockSize_(blockSize), blockCount_(blockCount) {
  knownDamaged_ = body.itemsUnreadable || blockSize == 0;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> covered;
  for (const BlockPointer& p : pointers_) {
    covered.emplace_back(p.position, std::min<std::uint64_t>(size, p.position + blockSize));
    if (p.block != 0 && (!Readable(p.block) || p.misplaced != MisplacedBlock::None)) knownDamaged_ = true;
  }
  for (const TailBytes& tail : body.tails) {
    if (tail.position >= size || tail.bytes.empty()) continue;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(tail.bytes.size(), size - tail.position));
    tails_.push_back({tail.position, std::vector<std::byte>(tail.bytes.begin(), tail.bytes.begin() + n)});
    covered.emplace_back(tail.position, tail.position + n);
  }
  std::sort(covered.begin(), covered.end());
  for (const auto& [from, to] : covered) {
    if (from > coveredEnd_) missing_.emplace_back(coveredEnd_, from);
    coveredEnd_ = std::max(coveredEnd_, to);
  }
  if (coveredEnd_ < size) missing_.emplace_back(coveredEnd_, size);
  if (!missing_.empty()) knownDamaged_ = true;
}

bool FileContent::ReadRun(PartitionBlocks& blocks, std::size_t first, std::size_t end, std::uint64_t from,
                          std::uint64_t to, std::span<std::byte> out) const {
  // from/to: the file range wanted, within the run; out starts at file position `from`.
  const std::uint64_t runStart = pointers_[first].position;
  const std::size_t skip = static_cast<std::size_t>(from - runStart);
  const std::size_t length = static_cast<std::size_t>(to - from);
  const std::size_t bytes = (end - first) * std::size_t{blockSize_};
  const DiskReader& disk = blocks.Disk();
  const std::uint64_t sector = blocks.FirstSector(pointers_[first].block);
  if (blocks.HasLoggedCopies(pointers_[first].block, end - first)) {
    // Read block by block below, each from its logged copy where it has one.
  } else if (skip % 512 == 0 && length % 512 == 0) {
    // Straight into the reply where the wanted range is whole sectors.
    if (disk.ReadQuietly(sector + skip / 512, out.first(length)) == ReadOutcome::Ok) return true;
  } else {
    std::vector<std::byte> run(bytes);
    if (disk.ReadQuietly(sector, run) == ReadOutcome::Ok) {
      std::memcpy(out.data(), run.data() + skip, length);
      return true;
    }
  }
  // One block at a time through the bad-sector policy; an unreadable one stays zeros.
  bool whole = true;
  std::vector<std::byte> block(blockSize_);
  for (std::size_t k = first; k < end; ++k) {
    const std::uint64_t at = pointers_[k].position;
    const std::uint64_t lo = std::max(at, from);
    const std::uint64_t hi = std::min(at + blockSize_, to);
    if (lo >= hi) continue;
    if (blocks.ReadBlock(block, pointers_[k].block) != 0) {
      std::memcpy(out.data() + (lo - from), block.data() + (lo - at), static_cast<std::size_t>(hi - lo));
    } else {
      std::memset(out.data() + (lo - from), 0, static_cast<std::size_t>(hi - lo));
      whole = false;
    }
  }
  return whole;
}

ContentRead FileContent::Read(PartitionBlocks& blocks, std::uint64_t offset, std::span<std::byte> out) const {
  ContentRead result;
  if (offset >= size_) return result;
  const std::uint64_t end = offset + std::min<std::uint64_t>(out.size(), size_ - offset);
  result.length = static_cast<std::size_t>(end - offset);
  std::memset(out.data(), 0, result.length);

  // Pointers from the one that may hold `offset` on.
  auto it = std::upper_bound(pointers_.begin(), pointers_.end(), offset,
                             [](std::uint64_t position, const BlockPointer& p) { return position < p.position; });
  std::size_t i = it == pointers_.begin() ? 0 : static_cast<std::size_t>(it - pointers_.begin()) - 1;
  const std::size_t most = std::max<std::size_t>(1, kMostRunBytes / std::max<std::uint32_t>(blockSize_, 1));
  while (i < pointers_.size() && pointers_[i].position < end) {
    const BlockPointer& p = pointers_[i];
    if (p.position + blockSize_ <= offset || p.block == 0) {  // before the range, or a hole
      ++i;
      continue;
    }
    if (!Readable(p.block)) {
      result.damaged = true;
      ++i;
      continue;
    }
    std::size_t runEnd = i + 1;
    while (runEnd < pointers_.size() && runEnd - i < most && pointers_[runEnd].position < end &&
           pointers_[runEnd].block == p.block + (runEnd - i) &&
           pointers_[runEnd].position == p.position + std::uint64_t{blockSize_} * (runEnd - i) &&
           Readable(pointers_[runEnd].block))
      ++runEnd;
    const std::uint64_t from = std::max(offset, p.position);
    const std::uint64_t to = std::min(end, pointers_[runEnd - 1].position + blockSize_);
    if (!ReadRun(blocks, i, runEnd, from, to, out.subspan(static_cast<std::size_t>(from - offset))))
      result.damaged = true;
    i = runEnd;
  }
  for (const TailBytes& tail : tails_) {
    const std::uint64_t lo = std::max(offset, tail.position);
    const std::uint64_t hi = std::min(end, tail.position + tail.bytes.size());
    if (lo < hi)
      std::memcpy(out.data() + (lo - offset), tail.bytes.data() + (lo - tail.position),
                  static_cast<std::size_t>(hi - lo));
  }
  for (const auto& [from, to] : missing_)
    if (from < end && to > offset) result.damaged = true;
  return result;
}

}  // namespace vantrel::mount
