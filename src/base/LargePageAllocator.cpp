#include "base/LargePageAllocator.h"

#include <sys/mman.h>

#include <cstdint>

namespace vantrel::large_pages {

namespace {

std::size_t Rounded(std::size_t bytes) { return (bytes + kLargeBytes - 1) / kLargeBytes * kLargeBytes; }

}  // namespace

// The mapping is made one large page longer than asked, and the part before the first
// 2 MiB boundary and the rest after the array are given back, so that the array starts on
// a boundary and every 2 MiB of it can be one large page.
void* Allocate(std::size_t bytes) {
  const std::size_t length = Rounded(bytes);
  if (length < bytes || length + kLargeBytes < length) throw std::bad_alloc();
  void* mapped = mmap(nullptr, length + kLargeBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(mapped);
  const std::uintptr_t aligned = (start + kLargeBytes - 1) / kLargeBytes * kLargeBytes;
  if (aligned > start) munmap(mapped, aligned - start);
  const std::uintptr_t end = start + length + kLargeBytes;
  if (end > aligned + length) munmap(reinterpret_cast<void*>(aligned + length), end - (aligned + length));
  void* array = reinterpret_cast<void*>(aligned);
  // Only a wish: without transparent huge pages the array is made of ordinary pages.
  madvise(array, length, MADV_HUGEPAGE);
  return array;
}

void Free(void* memory, std::size_t bytes) {
  if (memory != nullptr) munmap(memory, Rounded(bytes));
}

}  // namespace vantrel::large_pages
