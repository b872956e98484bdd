#pragma once
// A readable disk: an image file or a block device, opened read-only and never written.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace vantrel {

enum class ReadOutcome { Ok, Failed, CannotOpen };

class DiskSource {
 public:
  virtual ~DiskSource() = default;
  // Reads buffer.size() bytes at byte offset. Bytes beyond the end of the disk read as
  // zeros. On Failed the buffer holds whatever the failed read left there (for an area
  // that a ddrescue map marks as bad: nothing was transferred); on CannotOpen
  // it is untouched.
  virtual ReadOutcome Read(std::uint64_t offset, std::span<std::byte> buffer) = 0;
  // Exact size in bytes, or nothing when the disk cannot be opened.
  virtual std::optional<std::uint64_t> Size() = 0;
  // Why the disk could not be opened (empty while it can).
  virtual std::string OpenError() = 0;
  // Copies length bytes at offset straight into the file toFd at toOffset, without passing
  // them through a buffer of ours, where the source can; true when all of them were copied.
  // False means nothing can be concluded: the caller reads and writes the bytes itself.
  virtual bool CopyRange(std::uint64_t /*offset*/, std::size_t /*length*/, int /*toFd*/, std::uint64_t /*toOffset*/) {
    return false;
  }
};

}  // namespace vantrel
