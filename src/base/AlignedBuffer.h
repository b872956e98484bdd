#pragma once
// A zero-initialised byte buffer aligned to the page size (or, asked for, an uncleared one). Large reads into an
// aligned buffer are several times faster than into an arbitrary one.

#include <cstddef>
#include <memory>
#include <span>

namespace vantrel {

class AlignedBuffer {
 public:
  static constexpr std::size_t kAlignment = 4096;

  explicit AlignedBuffer(std::size_t size);
  // A large buffer whose pages are only touched where it is written: its bytes start
  // undefined, and a caller reads back only what it wrote.
  enum class Uncleared { kYes };
  AlignedBuffer(std::size_t size, Uncleared);

  std::span<std::byte> Bytes() { return {data_.get(), size_}; }
  std::span<const std::byte> Bytes() const { return {data_.get(), size_}; }
  std::size_t Size() const { return size_; }
  void Clear();

 private:
  struct Free {
    void operator()(std::byte* p) const;
  };
  std::unique_ptr<std::byte, Free> data_;
  std::size_t size_;
};

}  // namespace vantrel
