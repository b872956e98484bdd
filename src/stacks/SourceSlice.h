#pragma once
// A stretch of another disk source read as a disk of its own: a partition, or the data area
// of an array member. Reads past its end give zeros, like any disk's.

#include <cstdint>

#include "disk/DiskSource.h"

namespace vantrel {

class SourceSlice : public DiskSource {
 public:
  // The parent must outlive the slice.
  SourceSlice(DiskSource& parent, std::uint64_t startByte, std::uint64_t lengthBytes)
      : parent_(&parent), start_(startByte), length_(lengthBytes) {}

  ReadOutcome Read(std::uint64_t offset, std::span<std::byte> buffer) override;
  std::optional<std::uint64_t> Size() override;
  std::string OpenError() override { return parent_->OpenError(); }
  bool CopyRange(std::uint64_t offset, std::size_t length, int toFd, std::uint64_t toOffset) override;

  DiskSource& Parent() const { return *parent_; }
  std::uint64_t StartByte() const { return start_; }

 private:
  DiskSource* parent_;
  std::uint64_t start_;
  std::uint64_t length_;
};

}  // namespace vantrel
