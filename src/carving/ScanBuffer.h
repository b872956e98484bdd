#pragma once
// What the whole-file scan holds of the disk: consecutive 1 MiB chunks, counted from the
// range's first sector, so that the header search, the sizing of a file found there and
// the copy of that file all use the same bytes, read once. Sizing may read ahead of the
// scan (quietly, up to the buffer's capacity); chunks before the scan's position are let
// go only when room is needed, so a move of the held chunks happens at most once per
// capacity's worth of data.

#include <cstdint>
#include <functional>
#include <vector>

#include "base/AlignedBuffer.h"
#include "base/LittleEndian.h"
#include "carving/OffsetReader.h"

namespace vantrel {

inline constexpr std::uint32_t kScanChunkSectors = 2048;  // 1 MiB
inline constexpr std::size_t kScanBufferChunks = 32;

class ScanBuffer {
 public:
  // Reads `count` sectors from `first` into `buffer`: true when every sector was read.
  using ReadRun = std::function<bool(std::uint64_t first, std::uint32_t count, MutableByteSpan buffer)>;

  struct Source {
    ReadRun scanRead;               // the scan's own reads (a failed stretch reads as zeros)
    ReadRun quietRead;              // reads ahead for sizing: all or nothing, no prompt
    OffsetReader fallback;          // for what the buffer cannot hold
    std::uint64_t firstSector = 0;  // where chunk 0 begins
    std::uint64_t endSector = 0;    // the scan reads up to here
    std::uint64_t diskSectors = 0;  // sizing may read up to here
  };

  explicit ScanBuffer(Source source, std::size_t capacityChunks = kScanBufferChunks);

  // The scan's sectors from `sector` to the end of its chunk (or of the range), read
  // with scanRead where they are not held yet; sectors before `sector` may be let go.
  ByteSpan ScanFrom(std::uint64_t sector);

  // Bytes at absolute byte `offset`: from the held chunks, reading ahead quietly where
  // they fit in the buffer, otherwise through the fallback.
  bool Read(std::uint64_t offset, MutableByteSpan bytes);
  OffsetReader Reader();

  // The longest start of [offset, offset + bytes) that is held, read whole, in memory.
  ByteSpan Held(std::uint64_t offset, std::uint64_t bytes) const;

 private:
  struct Slot {
    std::uint32_t sectors = 0;  // held from the chunk's start
    bool whole = true;          // every held sector was read
    bool unreadable = false;    // a quiet read of it failed: sizing goes round it
  };

  std::uint64_t ChunkFirst(std::uint64_t chunk) const { return source_.firstSector + chunk * kScanChunkSectors; }
  // Makes `chunk` a slot of the buffer, letting go of chunks before `keep_`; false when
  // it does not fit.
  bool Place(std::uint64_t chunk);
  // Holds the chunk's sectors up to `upTo` (its end at most): false when a quiet read failed.
  bool Fill(std::uint64_t chunk, std::uint64_t upTo, bool quiet);
  MutableByteSpan SlotBytes(std::size_t slot);

  Source source_;
  std::size_t capacity_;
  AlignedBuffer buffer_;
  std::vector<Slot> slots_;  // slots_[i] is chunk base_ + i
  std::uint64_t base_ = 0;
  std::uint64_t keep_ = 0;  // the scan's chunk: nothing from it on is let go
};

}  // namespace vantrel
