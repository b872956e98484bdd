#pragma once
// Sequential little-endian reading and writing of byte streams (file formats of our own).
// The reader never reads past its span: a read that does not fit fails, every later read
// fails too, and failed reads give zero, so a decoder checks Ok() where a value decides
// what comes next.

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

#include "base/LittleEndian.h"

namespace vantrel {

class ByteReader {
 public:
  explicit ByteReader(ByteSpan bytes) : bytes_(bytes) {}

  bool Ok() const { return ok_; }
  std::size_t Remaining() const { return ok_ ? bytes_.size() - position_ : 0; }
  bool AtEnd() const { return Remaining() == 0; }

  std::uint8_t U8();
  std::uint16_t U16();
  std::uint32_t U32();
  std::uint64_t U64();
  // The next n bytes (empty after a failure).
  ByteSpan Take(std::size_t n);
  std::string Text(std::size_t n);
  bool Skip(std::size_t n) { return Take(n).size() == n; }
  // True when the next bytes are `text` (nothing is consumed).
  bool LooksAt(std::string_view text) const;
  // Marks the stream as failed, for a value that was read but cannot be right.
  void Fail() { ok_ = false; }

 private:
  template <typename T>
  T Read();

  ByteSpan bytes_;
  std::size_t position_ = 0;
  bool ok_ = true;
};

// Writes into a string it holds, or, given a stream, into a buffer that is passed on to the
// stream whenever it fills, so that a large file is written without being held whole.
class ByteWriter {
 public:
  ByteWriter() = default;
  explicit ByteWriter(std::ostream& sink) : sink_(&sink) {}

  void U8(std::uint8_t value) {
    out_.push_back(static_cast<char>(value));
    Drain();
  }
  void U16(std::uint16_t value);
  void U32(std::uint32_t value);
  void U64(std::uint64_t value);
  void Text(std::string_view text) {
    out_.append(text);
    Drain();
  }
  void Bytes(ByteSpan bytes);

  // Every byte written so far.
  std::size_t Size() const { return passedOn_ + out_.size(); }
  // Overwrites a u32 written earlier at offset (a length known only afterwards), provided
  // it has not yet been passed on to the stream.
  void PatchU32(std::size_t offset, std::uint32_t value);
  // Passes what is held on to the stream; false when the stream failed.
  bool Flush();
  const std::string& Data() const { return out_; }
  std::string Release() { return std::move(out_); }

 private:
  template <typename T>
  void Write(T value);
  void Drain() {
    if (sink_ != nullptr && out_.size() >= kDrainBytes) Flush();
  }

  static constexpr std::size_t kDrainBytes = std::size_t{1} << 16;
  std::ostream* sink_ = nullptr;
  std::size_t passedOn_ = 0;
  std::string out_;
};

}  // namespace vantrel
