#pragma once
// Copies a run of a disk's sectors, as they read, into a file or a pipe: the raw bytes of a
// disk, an array, a logical volume, a container or a partition, to keep or to hand to
// another tool. Reads go through the sector reader, so that unreadable sectors follow the
// bad-sector policy; what stays unread is written as zeros and listed.

#include <cstdint>
#include <string>
#include <vector>

#include "base/StopToken.h"
#include "disk/DiskReader.h"

namespace vantrel {

// The copy reads this much at a time.
inline constexpr std::size_t kImageReadBytes = std::size_t{4} << 20;

// Where the image goes: an open file descriptor, written from its current start. A sparse
// output is a regular file that was empty: runs of zeros are seeked over, not written,
// and the file is given its full length at the end. Anything else (a pipe, a device, a
// file that held data) gets every byte.
struct ImageOutput {
  int fd = -1;
  bool sparse = false;
};

// A stretch of the image, in bytes from its start.
struct ImageStretch {
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
};

class ImageProgress {
 public:
  virtual ~ImageProgress() = default;
  virtual void OnImaged(std::uint64_t doneBytes, std::uint64_t totalBytes) = 0;
};

struct ImageReport {
  std::uint64_t totalBytes = 0;      // the run asked for
  std::uint64_t doneBytes = 0;       // how far the copy got (all of it unless stopped or failed)
  std::uint64_t holeBytes = 0;       // zeros left as holes of a sparse output
  std::vector<ImageStretch> unread;  // sectors that could not be read: zeros in the image
  bool stopped = false;
  std::string writeError;  // why the output took no more; empty when it took everything
};

// Copies `sectors` sectors of disk from firstSector on to the output, in large reads;
// a read that fails is read again through the bad-sector policy.
ImageReport CopyDiskImage(const DiskReader& disk, std::uint64_t firstSector, std::uint64_t sectors,
                          const ImageOutput& output, ImageProgress* progress, const StopToken& stop);

}  // namespace vantrel
