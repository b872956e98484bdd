#pragma once
// A sequence that grows in fixed chunks: elements never move once added, growing never
// copies, and a sequence of millions takes little more memory than its elements (a plain
// vector holds up to twice its size, and three times while it grows).

#include <cstddef>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

namespace vantrel {

template <typename T, std::size_t kChunkShift = 12>
class ChunkedVector {
  static constexpr std::size_t kChunk = std::size_t{1} << kChunkShift;
  static constexpr std::size_t kMask = kChunk - 1;

  template <bool kConst>
  class Iterator {
    using Owner = std::conditional_t<kConst, const ChunkedVector, ChunkedVector>;

   public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    using pointer = std::conditional_t<kConst, const T*, T*>;
    using reference = std::conditional_t<kConst, const T&, T&>;

    Iterator() = default;
    Iterator(Owner* owner, std::size_t at) : owner_(owner), at_(at) {}
    reference operator*() const { return (*owner_)[at_]; }
    pointer operator->() const { return &(*owner_)[at_]; }
    reference operator[](difference_type n) const { return (*owner_)[at_ + n]; }
    Iterator& operator++() { return ++at_, *this; }
    Iterator operator++(int) { return {owner_, at_++}; }
    Iterator& operator--() { return --at_, *this; }
    Iterator operator--(int) { return {owner_, at_--}; }
    Iterator& operator+=(difference_type n) { return at_ += n, *this; }
    Iterator& operator-=(difference_type n) { return at_ -= n, *this; }
    friend Iterator operator+(Iterator i, difference_type n) { return i += n; }
    friend Iterator operator+(difference_type n, Iterator i) { return i += n; }
    friend Iterator operator-(Iterator i, difference_type n) { return i -= n; }
    friend difference_type operator-(const Iterator& a, const Iterator& b) {
      return static_cast<difference_type>(a.at_) - static_cast<difference_type>(b.at_);
    }
    friend bool operator==(const Iterator& a, const Iterator& b) { return a.at_ == b.at_; }
    friend auto operator<=>(const Iterator& a, const Iterator& b) { return a.at_ <=> b.at_; }

   private:
    Owner* owner_ = nullptr;
    std::size_t at_ = 0;
  };

 public:
  using value_type = T;
  using iterator = Iterator<false>;
  using const_iterator = Iterator<true>;

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  T& operator[](std::size_t i) { return chunks_[i >> kChunkShift][i & kMask]; }
  const T& operator[](std::size_t i) const { return chunks_[i >> kChunkShift][i & kMask]; }
  const T& at(std::size_t i) const {
    if (i >= size_) throw std::out_of_range("ChunkedVector::at");
    return (*this)[i];
  }
  T& front() { return (*this)[0]; }
  const T& front() const { return (*this)[0]; }
  T& back() { return (*this)[size_ - 1]; }
  const T& back() const { return (*this)[size_ - 1]; }

  template <typename... Args>
  T& emplace_back(Args&&... args) {
    if ((size_ & kMask) == 0) {
      chunks_.emplace_back();
      chunks_.back().reserve(kChunk);
    }
    ++size_;
    return chunks_.back().emplace_back(std::forward<Args>(args)...);
  }
  T& push_back(T value) { return emplace_back(std::move(value)); }

  // Frees every chunk.
  void clear() {
    chunks_.clear();
    chunks_.shrink_to_fit();
    size_ = 0;
  }

  iterator begin() { return {this, 0}; }
  iterator end() { return {this, size_}; }
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size_}; }

  // The bytes held: whole chunks and the table of chunks.
  std::size_t MemoryBytes() const { return chunks_.size() * (kChunk * sizeof(T) + sizeof(std::vector<T>)); }

 private:
  std::vector<std::vector<T>> chunks_;
  std::size_t size_ = 0;
};

}  // namespace vantrel
