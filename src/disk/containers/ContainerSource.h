#pragma once
// A disk kept in an image container (E01, qcow2, VMDK, VHD/VHDX, a split raw image): read
// through the container's library, read-only, one read at a time. Bytes beyond the disk's
// end read as zeros; a damaged part of the container fails to read, as a bad sector does.

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "disk/DiskSource.h"
#include "disk/containers/ImageKind.h"

namespace vantrel {

struct ContainerDescription {
  ImageKind kind = ImageKind::Raw;
  std::string detail;              // the kind's variant: "dynamic", "stream-optimised", ...
  std::vector<std::string> files;  // the container's files: segments, pieces, extents, parents
  // The hashes the container stores for the disk ("MD5", hex digits), for `disks --verify`.
  std::vector<std::pair<std::string, std::string>> storedHashes;
  std::vector<std::string> warnings;  // what the disk may show otherwise than its machine did
};

class ContainerSource : public DiskSource {
 public:
  ReadOutcome Read(std::uint64_t offset, std::span<std::byte> buffer) final;
  std::optional<std::uint64_t> Size() final;
  std::string OpenError() final;

  const ContainerDescription& Description() const { return description_; }

 protected:
  // Called by a kind's constructor once it has opened its container (or failed to).
  void Opened(std::uint64_t size, ContainerDescription description);
  void Failed(std::string why);
  // Reads bytes that lie wholly on the disk; false when the container's data there is damaged.
  virtual bool ReadMedia(std::uint64_t offset, std::span<std::byte> buffer) = 0;

 private:
  std::mutex readMutex_;  // the libraries' handles read one request at a time
  std::optional<std::uint64_t> size_;
  std::string openError_;
  ContainerDescription description_;
};

// The container a disk is kept in, or nullptr for a disk read directly (or none).
inline ContainerSource* AsContainer(DiskSource* disk) { return dynamic_cast<ContainerSource*>(disk); }

}  // namespace vantrel
