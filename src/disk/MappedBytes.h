#pragma once
// Bytes of an image file mapped read-only into memory: a large scan looks at them where
// they lie in the page cache instead of copying them into a buffer first.

#include <cstddef>
#include <span>

namespace vantrel {

class MappedBytes {
 public:
  // Takes over the mapping [base, base + mappedLength), of which view is the part asked for.
  MappedBytes(void* base, std::size_t mappedLength, std::span<const std::byte> view)
      : base_(base), mappedLength_(mappedLength), view_(view) {}
  ~MappedBytes();
  MappedBytes(MappedBytes&& other) noexcept;
  MappedBytes& operator=(MappedBytes&& other) noexcept;
  MappedBytes(const MappedBytes&) = delete;
  MappedBytes& operator=(const MappedBytes&) = delete;

  std::span<const std::byte> Bytes() const { return view_; }

 private:
  void Unmap();

  void* base_ = nullptr;
  std::size_t mappedLength_ = 0;
  std::span<const std::byte> view_;
};

}  // namespace vantrel
