#include "support/SparseImage.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <stdexcept>
#include <vector>

#include "base/LittleEndian.h"

namespace vantrel::test {

SparseImage::SparseImage(std::string path, std::uint64_t sizeBytes) : path_(std::move(path)) {
  fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd_ < 0 || ::ftruncate(fd_, static_cast<off_t>(sizeBytes)) != 0)
    throw std::runtime_error("cannot make " + path_);
}

SparseImage::~SparseImage() {
  if (fd_ >= 0) ::close(fd_);
}

void SparseImage::Write(std::uint64_t offset, std::span<const std::byte> bytes) {
  if (::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset)) != static_cast<ssize_t>(bytes.size()))
    throw std::runtime_error("cannot write " + path_);
}

void SparseImage::Resize(std::uint64_t sizeBytes) {
  if (::ftruncate(fd_, static_cast<off_t>(sizeBytes)) != 0) throw std::runtime_error("cannot resize " + path_);
}

void SparseImage::CopyImage(const std::string& image, std::uint64_t sector) {
  const int in = ::open(image.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) throw std::runtime_error("cannot read " + image);
  std::vector<std::byte> chunk(1 << 20);
  std::uint64_t offset = 0;
  for (ssize_t got; (got = ::pread(in, chunk.data(), chunk.size(), static_cast<off_t>(offset))) > 0;) {
    Write(sector * 512 + offset, std::span(chunk).first(static_cast<std::size_t>(got)));
    offset += static_cast<std::uint64_t>(got);
  }
  ::close(in);
}

void SparseImage::WritePartitionEntry(std::uint64_t tableSector, int slot, std::uint8_t type,
                                      std::uint32_t first, std::uint32_t length) {
  std::array<std::byte, 16> entry{};
  entry[4] = std::byte{type};
  WriteLittleEndian<std::uint32_t>(entry, 8, first);
  WriteLittleEndian<std::uint32_t>(entry, 12, length);
  Write(tableSector * 512 + 446 + 16 * static_cast<std::uint64_t>(slot), entry);
}

}  // namespace vantrel::test
