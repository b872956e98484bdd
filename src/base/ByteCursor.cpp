#include "base/ByteCursor.h"

#include <array>
#include <ostream>

namespace vantrel {

template <typename T>
T ByteReader::Read() {
  const ByteSpan field = Take(sizeof(T));
  return field.size() == sizeof(T) ? ReadLittleEndian<T>(field, 0) : T{0};
}

std::uint8_t ByteReader::U8() { return Read<std::uint8_t>(); }
std::uint16_t ByteReader::U16() { return Read<std::uint16_t>(); }
std::uint32_t ByteReader::U32() { return Read<std::uint32_t>(); }
std::uint64_t ByteReader::U64() { return Read<std::uint64_t>(); }

ByteSpan ByteReader::Take(std::size_t n) {
  if (!ok_ || n > bytes_.size() - position_) {
    ok_ = false;
    return {};
  }
  const ByteSpan taken = bytes_.subspan(position_, n);
  position_ += n;
  return taken;
}

std::string ByteReader::Text(std::size_t n) {
  const ByteSpan taken = Take(n);
  return {reinterpret_cast<const char*>(taken.data()), taken.size()};
}

bool ByteReader::LooksAt(std::string_view text) const {
  if (Remaining() < text.size()) return false;
  const ByteSpan next = bytes_.subspan(position_, text.size());
  for (std::size_t i = 0; i < text.size(); ++i)
    if (std::to_integer<char>(next[i]) != text[i]) return false;
  return true;
}

template <typename T>
void ByteWriter::Write(T value) {
  std::array<std::byte, sizeof(T)> field{};
  WriteLittleEndian(MutableByteSpan(field), 0, value);
  Bytes(field);
}

void ByteWriter::U16(std::uint16_t value) { Write(value); }
void ByteWriter::U32(std::uint32_t value) { Write(value); }
void ByteWriter::U64(std::uint64_t value) { Write(value); }

void ByteWriter::Bytes(ByteSpan bytes) {
  out_.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  Drain();
}

bool ByteWriter::Flush() {
  if (sink_ == nullptr) return true;
  sink_->write(out_.data(), static_cast<std::streamsize>(out_.size()));
  passedOn_ += out_.size();
  out_.clear();
  return static_cast<bool>(*sink_);
}

void ByteWriter::PatchU32(std::size_t offset, std::uint32_t value) {
  std::array<std::byte, 4> field{};
  WriteLittleEndian(MutableByteSpan(field), 0, value);
  if (offset < passedOn_) return;
  offset -= passedOn_;
  if (offset > out_.size() || out_.size() - offset < field.size()) return;
  for (std::size_t i = 0; i < field.size(); ++i) out_[offset + i] = std::to_integer<char>(field[i]);
}

}  // namespace vantrel
