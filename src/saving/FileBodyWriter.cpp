#include "saving/FileBodyWriter.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "base/AlignedBuffer.h"

namespace vantrel {

namespace {

// One file's writing; the stretch buffer is the writer's, shared by all its files.
class OneFile {
 public:
  OneFile(PartitionBlocks& blocks, AlignedBuffer& stretch, int fd, std::uint64_t size, const BodyWriteHooks& hooks)
      : blocks_(blocks), fd_(fd), size_(size), hooks_(hooks), stretch_(stretch) {}

  BodyWriteResult Write(const FileBody& body) {
    const std::vector<BlockPointer> pointers = EffectivePointers(body, size_);
    const auto misplaced = std::find_if(pointers.begin(), pointers.end(),
                                        [](const BlockPointer& p) { return p.misplaced != MisplacedBlock::None; });
    if (misplaced != pointers.end()) {
      result_.damaged = true;
      result_.misplaced = misplaced->misplaced;
    }

    for (std::size_t i = 0; i < pointers.size() && Going();) i = WriteStretch(pointers, i);
    // Tails in the order found, so that a later copy of an item overwrites an earlier one.
    for (const TailBytes& tail : body.tails) {
      if (!Going()) break;
      if (tail.position >= size_) continue;
      const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(tail.bytes.size(), size_ - tail.position));
      Put(tail.position, std::span(tail.bytes).first(n));
    }
    const std::uint64_t end = CoveredEnd();
    result_.length = end;
    if (result_.writeError == 0 && !result_.interrupted) {
      result_.short_ = end < size_;
      // The file was made empty: its length is already right when the last byte written
      // ends it, and otherwise it is set (zeros after the last write, or bytes cut off
      // after a gap).
      if (written_ != end && ::ftruncate(fd_, static_cast<off_t>(end)) != 0) result_.writeError = errno;
    }
    result_.damaged = result_.damaged || body.itemsUnreadable;
    return result_;
  }

 private:
  bool Going() {
    if (result_.writeError != 0) return false;
    if (hooks_.keepGoing && !hooks_.keepGoing()) result_.interrupted = true;
    return !result_.interrupted;
  }

  bool Readable(std::uint32_t block) const { return block != 0 && block < blocks_.BlockCount(); }

  // Writes the run of pointers from i whose blocks and positions both follow on; returns
  // the index after it.
  std::size_t WriteStretch(const std::vector<BlockPointer>& pointers, std::size_t i) {
    const std::uint32_t blockSize = blocks_.BlockSize();
    const BlockPointer first = pointers[i];
    if (first.block == 0) {  // a hole: zeros, left to the file's final length
      Cover(first.position, first.position + blockSize);
      return i + 1;
    }
    if (!Readable(first.block)) {
      result_.damaged = true;
      Cover(first.position, first.position + blockSize);
      return i + 1;
    }
    std::size_t end = i + 1;
    const std::size_t most = stretch_.Size() / blockSize;
    while (end < pointers.size() && end - i < most && pointers[end].block == first.block + (end - i) &&
           pointers[end].position == first.position + std::uint64_t{blockSize} * (end - i) &&
           Readable(pointers[end].block))
      ++end;
    const std::size_t count = end - i;
    const DiskReader& disk = blocks_.Disk();
    // Straight from the image into the file where the disk allows it: no copy through us.
    const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(count * blockSize, size_ - first.position));
    const auto bytes = stretch_.Bytes().first(count * blockSize);
    if (blocks_.HasLoggedCopies(first.block, count)) return WriteBlockByBlock(pointers, i, end, bytes);
    if (disk.CopyQuietly(blocks_.FirstSector(first.block), length, fd_, first.position)) {
      Wrote(first.position + length);
      Cover(first.position, first.position + length);
      return end;
    }
    if (disk.ReadQuietly(blocks_.FirstSector(first.block), bytes) == ReadOutcome::Ok) {
      Put(first.position, Clipped(first.position, bytes));
      return end;
    }
    return WriteBlockByBlock(pointers, i, end, bytes);
  }

  std::size_t WriteBlockByBlock(const std::vector<BlockPointer>& pointers, std::size_t i, std::size_t end,
                                MutableByteSpan bytes) {
    const std::uint32_t blockSize = blocks_.BlockSize();
    const DiskReader& disk = blocks_.Disk();
    // One block at a time, each through the bad-sector policy. A block that failed keeps
    // the sectors that Retry read again (the others are zeros); under Skip it stays zeros.
    for (std::size_t k = i; k < end && Going(); ++k) {
      const std::uint64_t position = pointers[k].position;
      const std::uint32_t number = pointers[k].block;
      const auto block = bytes.first(blockSize);
      std::fill(block.begin(), block.end(), std::byte{0});
      if (Readable(number) && blocks_.ReadBlock(block, number) != 0) {
        Put(position, Clipped(position, block));
        continue;
      }
      result_.damaged = true;
      const BadSectorPolicy policy = disk.Reader().Policy();
      if (Readable(number) && (policy == BadSectorPolicy::Retry || policy == BadSectorPolicy::RetryAll))
        Put(position, Clipped(position, block));
      else
        Cover(position, position + blockSize);
    }
    return end;
  }

  std::span<const std::byte> Clipped(std::uint64_t position, std::span<const std::byte> bytes) const {
    return bytes.first(static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), size_ - position)));
  }

  void Put(std::uint64_t position, std::span<const std::byte> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(position + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        result_.writeError = n < 0 ? errno : ENOSPC;
        return;
      }
      done += static_cast<std::size_t>(n);
    }
    Wrote(position + bytes.size());
    Cover(position, position + bytes.size());
  }

  void Wrote(std::uint64_t end) { written_ = std::max(written_, end); }

  // Records that [position, end) of the file is accounted for (written, or a hole).
  void Cover(std::uint64_t position, std::uint64_t end) {
    end = std::min(end, size_);
    if (end <= position) return;
    covered_.emplace_back(position, end);
    if (end <= reached_) return;
    reached_ = end;
    if (hooks_.progress) hooks_.progress(reached_);
  }

  // Where the accounted bytes from the file's start end; bytes that no item accounts for
  // before that are lost, and the file is damaged.
  std::uint64_t CoveredEnd() {
    std::sort(covered_.begin(), covered_.end());
    std::uint64_t end = 0;
    for (const auto& [from, to] : covered_) {
      if (from > end) result_.damaged = true;
      end = std::max(end, to);
    }
    return end;
  }

  PartitionBlocks& blocks_;
  int fd_;
  std::uint64_t size_;
  const BodyWriteHooks& hooks_;
  AlignedBuffer& stretch_;
  std::uint64_t reached_ = 0;  // furthest byte accounted for, for the progress
  std::uint64_t written_ = 0;  // the file's length: the end of the furthest write
  std::vector<std::pair<std::uint64_t, std::uint64_t>> covered_;
  BodyWriteResult result_;
};

}  // namespace

FileBodyWriter::FileBodyWriter(PartitionBlocks& blocks) : blocks_(blocks), stretch_(kStretchBytes) {}

BodyWriteResult FileBodyWriter::Write(int fd, const FileBody& body, std::uint64_t size, const BodyWriteHooks& hooks) {
  return OneFile(blocks_, stretch_, fd, size, hooks).Write(body);
}

}  // namespace vantrel
