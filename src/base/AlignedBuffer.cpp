#include "base/AlignedBuffer.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace vantrel {

AlignedBuffer::AlignedBuffer(std::size_t size) : AlignedBuffer(size, Uncleared::kYes) { Clear(); }

AlignedBuffer::AlignedBuffer(std::size_t size, Uncleared) : size_(size) {
  const std::size_t rounded = (size + kAlignment - 1) / kAlignment * kAlignment;
  void* memory = std::aligned_alloc(kAlignment, rounded == 0 ? kAlignment : rounded);
  if (memory == nullptr) throw std::bad_alloc();
  data_.reset(static_cast<std::byte*>(memory));
}

void AlignedBuffer::Clear() { std::memset(data_.get(), 0, size_); }

void AlignedBuffer::Free::operator()(std::byte* p) const { std::free(p); }

}  // namespace vantrel
