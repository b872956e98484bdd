#include "base/NameDecoder.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <mutex>

namespace vantrel {

struct NameDecoder::Converter {
  explicit Converter(iconv_t opened) : handle(opened) {}
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() { ::iconv_close(handle); }

  iconv_t handle;
  std::mutex lock;
};

namespace {

bool NamesUtf8(const std::string& encoding) {
  std::string plain;
  for (const char c : encoding)
    if (c != '-' && c != '_') plain += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return plain.empty() || plain == "UTF8";
}

}  // namespace

std::optional<NameDecoder> NameDecoder::For(const std::string& encoding) {
  NameDecoder decoder;
  if (NamesUtf8(encoding)) return decoder;
  const iconv_t handle = ::iconv_open("UTF-8", encoding.c_str());
  if (handle == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  decoder.converter_ = std::make_shared<Converter>(handle);
  decoder.encoding_ = encoding;
  return decoder;
}

std::string NameDecoder::Decode(std::string_view name) const {
  if (!converter_) return std::string(name);
  const std::lock_guard hold(converter_->lock);
  iconv_t handle = converter_->handle;
  ::iconv(handle, nullptr, nullptr, nullptr, nullptr);
  std::string decoded;
  // No character set here takes more than 4 bytes of UTF-8 for a byte of input; a few
  // more leave room for the shift sequences of stateful sets.
  std::string out(name.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(name.data());  // iconv's signature; the input is not written
  std::size_t inLeft = name.size();
  while (true) {
    char* at = out.data();
    std::size_t outLeft = out.size();
    const std::size_t done = ::iconv(handle, inLeft > 0 ? &in : nullptr, &inLeft, &at, &outLeft);
    const int error = errno;
    decoded.append(out.data(), at);
    if (done != static_cast<std::size_t>(-1)) {
      if (inLeft == 0) break;
      continue;
    }
    if (error == E2BIG) continue;
    // A byte that starts no character (or a cut-off one at the end): kept as it is.
    if (inLeft == 0) break;
    decoded += *in;
    ++in;
    --inLeft;
    ::iconv(handle, nullptr, nullptr, nullptr, nullptr);
  }
  return decoded;
}

std::size_t Utf8CharacterLength(std::string_view text, std::size_t at) {
  if (at >= text.size()) return 0;
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  std::uint32_t code = 0;
  if (lead >= 0xC2 && lead <= 0xDF)
    length = 2, code = lead & 0x1F;
  else if (lead >= 0xE0 && lead <= 0xEF)
    length = 3, code = lead & 0x0F;
  else if (lead >= 0xF0 && lead <= 0xF4)
    length = 4, code = lead & 0x07;
  else
    return 0;
  if (text.size() - at < length) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[at + k]);
    if ((next & 0xC0) != 0x80) return 0;
    code = (code << 6) | (next & 0x3F);
  }
  if ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
      (length == 4 && (code < 0x10000 || code > 0x10FFFF)))
    return 0;
  return length;
}

bool IsUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = Utf8CharacterLength(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

}  // namespace vantrel
