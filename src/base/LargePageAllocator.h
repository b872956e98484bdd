#pragma once
// An allocator for arrays of millions of elements that are reached at random (hash
// indexes): an array of 2 MiB or more gets memory of its own, aligned to 2 MiB, that the
// kernel is asked to back with large pages where it can (transparent huge pages), so that
// a look-up into it does not also miss the processor's address translation cache, and
// one fault fills 2 MiB instead of 4 KiB. Smaller arrays come from the ordinary heap.

#include <cstddef>
#include <memory>
#include <new>

namespace vantrel {

namespace large_pages {
inline constexpr std::size_t kLargeBytes = std::size_t{2} << 20;
// Memory for `bytes` (at least kLargeBytes): throws std::bad_alloc when there is none.
void* Allocate(std::size_t bytes);
void Free(void* memory, std::size_t bytes);
}  // namespace large_pages

template <typename T>
class LargePageAllocator {
 public:
  using value_type = T;

  LargePageAllocator() = default;
  template <typename U>
  explicit LargePageAllocator(const LargePageAllocator<U>& /*other*/) {}

  T* allocate(std::size_t n) {
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    const std::size_t bytes = n * sizeof(T);
    if (bytes >= large_pages::kLargeBytes) return static_cast<T*>(large_pages::Allocate(bytes));
    return std::allocator<T>().allocate(n);
  }

  void deallocate(T* p, std::size_t n) {
    const std::size_t bytes = n * sizeof(T);
    if (bytes >= large_pages::kLargeBytes)
      large_pages::Free(p, bytes);
    else
      std::allocator<T>().deallocate(p, n);
  }

  template <typename U>
  bool operator==(const LargePageAllocator<U>& /*other*/) const {
    return true;
  }
};

}  // namespace vantrel
