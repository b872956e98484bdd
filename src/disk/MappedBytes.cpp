#include "disk/MappedBytes.h"

#include <sys/mman.h>

#include <utility>

namespace vantrel {

MappedBytes::~MappedBytes() { Unmap(); }

MappedBytes::MappedBytes(MappedBytes&& other) noexcept
    : base_(std::exchange(other.base_, nullptr)),
      mappedLength_(std::exchange(other.mappedLength_, 0)),
      view_(std::exchange(other.view_, {})) {}

MappedBytes& MappedBytes::operator=(MappedBytes&& other) noexcept {
  if (this != &other) {
    Unmap();
    base_ = std::exchange(other.base_, nullptr);
    mappedLength_ = std::exchange(other.mappedLength_, 0);
    view_ = std::exchange(other.view_, {});
  }
  return *this;
}

void MappedBytes::Unmap() {
  if (base_ != nullptr) ::munmap(base_, mappedLength_);
  base_ = nullptr;
}

}  // namespace vantrel
