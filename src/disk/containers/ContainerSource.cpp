#include "disk/containers/ContainerSource.h"

#include <algorithm>

namespace vantrel {

void ContainerSource::Opened(std::uint64_t size, ContainerDescription description) {
  size_ = size;
  openError_.clear();
  description_ = std::move(description);
}

void ContainerSource::Failed(std::string why) {
  size_.reset();
  openError_ = std::move(why);
}

ReadOutcome ContainerSource::Read(std::uint64_t offset, std::span<std::byte> buffer) {
  if (!size_) return ReadOutcome::CannotOpen;
  const std::uint64_t size = *size_;
  const std::size_t onDisk = offset >= size
                                 ? 0
                                 : static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size - offset));
  std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(onDisk), buffer.end(), std::byte{0});
  if (onDisk == 0) return ReadOutcome::Ok;
  std::lock_guard lock(readMutex_);
  return ReadMedia(offset, buffer.first(onDisk)) ? ReadOutcome::Ok : ReadOutcome::Failed;
}

std::optional<std::uint64_t> ContainerSource::Size() { return size_; }

std::string ContainerSource::OpenError() { return openError_; }

}  // namespace vantrel
