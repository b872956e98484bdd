#pragma once
// Builds a disk image file for crafted cases: a sparse file of a given size into which
// sectors, partition table entries and whole fixture images are written.

#include <cstdint>
#include <span>
#include <string>

namespace vantrel::test {

class SparseImage {
 public:
  SparseImage(std::string path, std::uint64_t sizeBytes);
  ~SparseImage();
  SparseImage(const SparseImage&) = delete;
  SparseImage& operator=(const SparseImage&) = delete;

  const std::string& Path() const { return path_; }
  void Write(std::uint64_t offset, std::span<const std::byte> bytes);
  // Sets the file's size (a larger one reads as zeros without taking room).
  void Resize(std::uint64_t sizeBytes);
  // Copies a whole image file so that its first byte lands on sector `sector`.
  void CopyImage(const std::string& image, std::uint64_t sector);
  // Writes entry slot (0 to 3) of the partition table in sector tableSector.
  void WritePartitionEntry(std::uint64_t tableSector, int slot, std::uint8_t type, std::uint32_t first,
                           std::uint32_t length);

 private:
  std::string path_;
  int fd_ = -1;
};

}  // namespace vantrel::test
