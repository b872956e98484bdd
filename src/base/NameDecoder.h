#pragma once
// Names as the user reads them: the bytes a disk holds, decoded from the character set the
// volume was written in (old servers often wrote ISO-8859-1, KOI8-R, EUC-JP, ...) into
// UTF-8 through the C library's iconv. The bytes themselves are never changed on disk or in
// the catalogue; only what is shown (or, when asked, saved) is decoded.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

class NameDecoder {
 public:
  // Takes names as they are (UTF-8, with bytes that are not UTF-8 left as they are).
  NameDecoder() = default;
  // A decoder from the named character set (any name iconv knows; "" and "UTF-8" take names
  // as they are); nothing when iconv does not know the name.
  static std::optional<NameDecoder> For(const std::string& encoding);

  // The name in UTF-8. A byte that is no character of the set is kept as it is, so that no
  // name is lost and two names never decode alike.
  std::string Decode(std::string_view name) const;
  // True when names are decoded at all (an encoding other than UTF-8 was given).
  bool Converts() const { return converter_ != nullptr; }
  const std::string& Encoding() const { return encoding_; }

 private:
  struct Converter;
  std::shared_ptr<Converter> converter_;  // shared by copies; a lock keeps one conversion at a time
  std::string encoding_ = "UTF-8";
};

// The length of the UTF-8 character at text[at]; 0 when no well-formed one starts there.
std::size_t Utf8CharacterLength(std::string_view text, std::size_t at);
// True when text is well-formed UTF-8 (no overlong forms, surrogates or code points above
// U+10FFFF).
bool IsUtf8(std::string_view text);

}  // namespace vantrel
