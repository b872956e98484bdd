#pragma once
// An image whose n-th read over a chosen byte fails with an allocation failure: the
// failure an engine may meet at any allocation, put where a test wants it.

#include <memory>
#include <string>

#include "disk/FileDiskSource.h"

namespace vantrel::test {

class AllocationFailingDisk : public DiskSource {
 public:
  explicit AllocationFailingDisk(const std::string& image) : image_(image) {}

  // From now on, the n-th read that covers byte (counting from 1) throws std::bad_alloc;
  // n = 0 only counts them.
  void FailAt(std::uint64_t byte, int n) {
    byte_ = byte;
    failAt_ = n;
    seen_ = 0;
  }
  // Reads that covered the byte since FailAt.
  int ReadsSeen() const { return seen_; }

  ReadOutcome Read(std::uint64_t offset, std::span<std::byte> buffer) override {
    if (offset <= byte_ && byte_ - offset < buffer.size() && ++seen_ == failAt_) throw std::bad_alloc();
    return image_.Read(offset, buffer);
  }
  std::optional<std::uint64_t> Size() override { return image_.Size(); }
  std::string OpenError() override { return image_.OpenError(); }

 private:
  FileDiskSource image_;
  std::uint64_t byte_ = 0;
  int failAt_ = 0;
  int seen_ = 0;
};

}  // namespace vantrel::test
