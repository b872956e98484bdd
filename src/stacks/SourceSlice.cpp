#include "stacks/SourceSlice.h"

#include <algorithm>

namespace vantrel {

ReadOutcome SourceSlice::Read(std::uint64_t offset, std::span<std::byte> buffer) {
  const std::uint64_t inside = offset < length_ ? std::min<std::uint64_t>(buffer.size(), length_ - offset) : 0;
  std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(inside), buffer.end(), std::byte{0});
  if (inside == 0) return parent_->Size() ? ReadOutcome::Ok : ReadOutcome::CannotOpen;
  return parent_->Read(start_ + offset, buffer.first(static_cast<std::size_t>(inside)));
}

std::optional<std::uint64_t> SourceSlice::Size() {
  if (!parent_->Size()) return std::nullopt;
  return length_;
}

bool SourceSlice::CopyRange(std::uint64_t offset, std::size_t length, int toFd, std::uint64_t toOffset) {
  if (offset > length_ || length_ - offset < length) return false;
  return parent_->CopyRange(start_ + offset, length, toFd, toOffset);
}

}  // namespace vantrel
