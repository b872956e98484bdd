#include "base/Base64.h"

#include <cstdint>

namespace vantrel {

std::string Base64(std::string_view bytes) {
  static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  const auto byte = [&](std::size_t at) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])); };
  for (; i + 3 <= bytes.size(); i += 3) {
    const std::uint32_t group = byte(i) << 16 | byte(i + 1) << 8 | byte(i + 2);
    for (int shift = 18; shift >= 0; shift -= 6) text += kDigits[(group >> shift) & 63];
  }
  const std::size_t left = bytes.size() - i;
  if (left == 0) return text;
  const std::uint32_t group = byte(i) << 16 | (left == 2 ? byte(i + 1) << 8 : 0);
  text += kDigits[(group >> 18) & 63];
  text += kDigits[(group >> 12) & 63];
  text += left == 2 ? kDigits[(group >> 6) & 63] : '=';
  text += '=';
  return text;
}

}  // namespace vantrel
