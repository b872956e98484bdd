#pragma once
// A disk image file or a Linux block device, opened read-only on first use and kept open.
// An optional ddrescue map makes the areas it does not mark as finished fail to read.

#include <mutex>
#include <optional>
#include <string>

#include "disk/BadSectorMap.h"
#include "disk/DiskSource.h"

namespace vantrel {

class FileDiskSource : public DiskSource {
 public:
  explicit FileDiskSource(std::string path, std::optional<BadSectorMap> badSectors = std::nullopt);
  ~FileDiskSource() override;
  FileDiskSource(const FileDiskSource&) = delete;
  FileDiskSource& operator=(const FileDiskSource&) = delete;

  ReadOutcome Read(std::uint64_t offset, std::span<std::byte> buffer) override;
  std::optional<std::uint64_t> Size() override;
  std::string OpenError() override;
  // For an image file, by copy_file_range; never over an area the ddrescue map marks bad.
  bool CopyRange(std::uint64_t offset, std::size_t length, int toFd, std::uint64_t toOffset) override;

  const std::string& Path() const { return path_; }
  bool IsBlockDevice();
  // The open descriptor, or -1 when the disk cannot be opened.
  int Descriptor();

 private:
  bool EnsureOpen();
  // How many of the bytes from position on lie in a hole of a sparse image.
  std::size_t HoleBytes(std::uint64_t position, std::size_t length) const;
  ReadOutcome ReadFully(std::uint64_t offset, std::span<std::byte> buffer);

  std::string path_;
  std::optional<BadSectorMap> badSectors_;
  std::mutex openMutex_;
  int fd_ = -1;
  bool blockDevice_ = false;
  std::uint64_t size_ = 0;
  std::string openError_;
  bool openerRefused_ = false;  // the device opener refused this disk once
};

}  // namespace vantrel
