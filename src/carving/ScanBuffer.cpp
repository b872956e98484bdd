#include "carving/ScanBuffer.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace vantrel {

namespace {

constexpr std::uint64_t kSectorBytes = 512;
constexpr std::size_t kChunkBytes = std::size_t{kScanChunkSectors} * kSectorBytes;

}  // namespace

ScanBuffer::ScanBuffer(Source source, std::size_t capacityChunks)
    : source_(std::move(source)),
      capacity_(std::max<std::size_t>(1, capacityChunks)),
      buffer_(capacity_ * kChunkBytes, AlignedBuffer::Uncleared::kYes) {
  slots_.reserve(capacity_);
}

MutableByteSpan ScanBuffer::SlotBytes(std::size_t slot) {
  return buffer_.Bytes().subspan(slot * kChunkBytes, kChunkBytes);
}

bool ScanBuffer::Place(std::uint64_t chunk) {
  if (chunk >= base_ && chunk < base_ + slots_.size()) return true;
  if (chunk != base_ + slots_.size() || chunk - keep_ >= capacity_) return false;
  if (slots_.size() == capacity_) {
    // Full: the chunks before the scan's one go, and the rest moves to the front.
    const auto drop = static_cast<std::size_t>(keep_ - base_);
    std::memmove(buffer_.Bytes().data(), buffer_.Bytes().data() + drop * kChunkBytes,
                 (slots_.size() - drop) * kChunkBytes);
    slots_.erase(slots_.begin(), slots_.begin() + static_cast<std::ptrdiff_t>(drop));
    base_ = keep_;
  }
  slots_.push_back(Slot{});
  return true;
}

bool ScanBuffer::Fill(std::uint64_t chunk, std::uint64_t upTo, bool quiet) {
  Slot& slot = slots_[static_cast<std::size_t>(chunk - base_)];
  const std::uint64_t first = ChunkFirst(chunk);
  const std::uint64_t limit = quiet ? source_.diskSectors : source_.endSector;
  const std::uint64_t end = std::min({first + kScanChunkSectors, limit, upTo});
  if (end <= first + slot.sectors) return true;
  if (quiet && slot.unreadable) return false;
  const auto count = static_cast<std::uint32_t>(end - first - slot.sectors);
  const MutableByteSpan into =
      SlotBytes(static_cast<std::size_t>(chunk - base_)).subspan(slot.sectors * kSectorBytes, count * kSectorBytes);
  if (quiet) {
    // Read ahead for sizing only: a stretch that fails is left to the scan, which prompts.
    if (!source_.quietRead(first + slot.sectors, count, into)) {
      slot.unreadable = true;
      return false;
    }
  } else if (!source_.scanRead(first + slot.sectors, count, into)) {
    slot.whole = false;
  }
  slot.sectors += count;
  return true;
}

ByteSpan ScanBuffer::ScanFrom(std::uint64_t sector) {
  if (sector < source_.firstSector || sector >= source_.endSector) return {};
  const std::uint64_t chunk = (sector - source_.firstSector) / kScanChunkSectors;
  if (chunk < base_ || chunk >= base_ + slots_.size()) {
    // Nothing held is needed any more: the chunk starts the buffer again.
    slots_.clear();
    base_ = chunk;
  }
  keep_ = chunk;
  Place(chunk);
  Fill(chunk, source_.endSector, false);
  const std::uint64_t first = ChunkFirst(chunk);
  const std::uint64_t end = std::min(first + kScanChunkSectors, source_.endSector);
  const auto slot = static_cast<std::size_t>(chunk - base_);
  return SlotBytes(slot).subspan((sector - first) * kSectorBytes, (end - sector) * kSectorBytes);
}

bool ScanBuffer::Read(std::uint64_t offset, MutableByteSpan bytes) {
  if (bytes.empty()) return true;
  const std::uint64_t firstSector = offset / kSectorBytes;
  const std::uint64_t endSector = (offset + bytes.size() + kSectorBytes - 1) / kSectorBytes;
  if (slots_.empty() || firstSector < ChunkFirst(base_) || endSector > source_.diskSectors)
    return source_.fallback(offset, bytes);
  const std::uint64_t firstChunk = (firstSector - source_.firstSector) / kScanChunkSectors;
  const std::uint64_t lastChunk = (endSector - 1 - source_.firstSector) / kScanChunkSectors;
  if (lastChunk >= keep_ + capacity_) return source_.fallback(offset, bytes);
  // Chunks between what is held and what is asked for get slots, to be read when needed.
  for (std::uint64_t chunk = std::min(firstChunk, base_ + slots_.size()); chunk <= lastChunk; ++chunk) {
    if (!Place(chunk)) return source_.fallback(offset, bytes);
    if (chunk < firstChunk) continue;
    const Slot& slot = slots_[static_cast<std::size_t>(chunk - base_)];
    if (!Fill(chunk, endSector, true) || !slot.whole ||
        ChunkFirst(chunk) + slot.sectors < std::min(endSector, ChunkFirst(chunk + 1)))
      return source_.fallback(offset, bytes);
  }
  std::memcpy(bytes.data(), buffer_.Bytes().data() + (offset - ChunkFirst(base_) * kSectorBytes), bytes.size());
  return true;
}

OffsetReader ScanBuffer::Reader() {
  return [this](std::uint64_t offset, MutableByteSpan bytes) { return Read(offset, bytes); };
}

ByteSpan ScanBuffer::Held(std::uint64_t offset, std::uint64_t bytes) const {
  if (slots_.empty() || offset % kSectorBytes != 0 || offset / kSectorBytes < ChunkFirst(base_)) return {};
  const std::uint64_t sector = offset / kSectorBytes;
  std::uint64_t held = 0;  // bytes from offset
  for (std::uint64_t chunk = (sector - source_.firstSector) / kScanChunkSectors;
       chunk < base_ + slots_.size() && held < bytes; ++chunk) {
    const Slot& slot = slots_[static_cast<std::size_t>(chunk - base_)];
    const std::uint64_t slotEnd = ChunkFirst(chunk) + slot.sectors;
    if (!slot.whole || slotEnd <= sector) break;
    held = (slotEnd - sector) * kSectorBytes;
    if (slot.sectors < kScanChunkSectors) break;
  }
  return ByteSpan(buffer_.Bytes())
      .subspan(static_cast<std::size_t>(offset - ChunkFirst(base_) * kSectorBytes),
               static_cast<std::size_t>(std::min(held, bytes)));
}

}  // namespace vantrel
