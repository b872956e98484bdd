#include "carving/TextDocumentSize.h"

#include <array>
#include <cstring>
#include <string_view>

#include "carving/ForwardScan.h"
#include "carving/WholeFileFormat.h"

namespace vantrel {

namespace {

constexpr std::string_view kEndOfFile = "%%EOF";
constexpr std::size_t kSectorBytes = 512;
constexpr std::size_t kLookAhead = 64;  // what is read after an "%%EOF" to see what follows

bool IsPdfSpace(char c) { return c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == '\f' || c == '\0'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The end of the "%%EOF" line at `at`: its line break is part of the file.
std::size_t LineEnd(std::string_view text, std::size_t at) {
  at += kEndOfFile.size();
  if (at < text.size() && text[at] == '\r') ++at;
  if (at < text.size() && text[at] == '\n') ++at;
  return at;
}

// Whether `text` (what follows an "%%EOF" line) goes on as the same PDF file: an object
// ("12 0 obj"), a cross-reference table or stream, or a comment line of an update.
bool ContinuesPdf(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\r' || text[at] == '\n' || text[at] == '\t')) ++at;
  text.remove_prefix(at);
  if (text.starts_with("xref")) return true;
  std::size_t digits = 0;
  while (digits < text.size() && IsDigit(text[digits])) ++digits;
  if (digits == 0 || digits >= text.size() || !IsPdfSpace(text[digits])) return false;
  text.remove_prefix(digits + 1);
  digits = 0;
  while (digits < text.size() && IsDigit(text[digits])) ++digits;
  if (digits == 0 || digits >= text.size() || text[digits] != ' ') return false;
  return text.substr(digits + 1).starts_with("obj");
}

}  // namespace

std::optional<std::uint64_t> PdfFileSize(const OffsetReader& read, std::uint64_t start, std::uint64_t limit) {
  std::optional<std::uint64_t> end;  // relative to start
  bool searching = true;
  const auto follows = [&](std::uint64_t relative) {
    std::array<char, kLookAhead> after{};
    const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(kLookAhead, limit - relative));
    if (!read(start + relative, std::as_writable_bytes(std::span(after).first(length)))) return false;
    return ContinuesPdf(std::string_view(after.data(), length));
  };
  const auto visit = [&](std::uint64_t position, ByteSpan bytes, std::size_t begins) {
    const std::uint64_t base = position - start;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    // The next file's header bounds the search.
    std::size_t bound = begins;
    for (std::size_t sector = base == 0 ? kSectorBytes : 0; sector < begins; sector += kSectorBytes) {
      if (WholeFileFormatAt(bytes.subspan(sector)) != WholeFileFormat::None) {
        bound = sector;
        searching = false;
        break;
      }
    }
    for (std::size_t at = text.find(kEndOfFile); at < bound; at = text.find(kEndOfFile, at + 1)) {
      const std::size_t lineEnd = LineEnd(text, at);
      end = base + lineEnd;
      if (*end >= limit || !follows(*end)) {
        searching = false;
        break;
      }
    }
    return searching;
  };
  if (!ScanForward(read, start, start + limit, kEndOfFile.size() + 1, visit)) return std::nullopt;
  return end;
}

std::optional<std::uint64_t> RtfFileSize(const OffsetReader& read, std::uint64_t start, std::uint64_t limit) {
  enum class State { Text, Escape, Word, Number, Binary };
  State state = State::Text;
  std::size_t wordLength = 0;
  std::array<char, 8> word{};
  std::uint64_t number = 0;
  std::uint64_t binaryLeft = 0;
  std::uint64_t depth = 0;
  std::optional<std::uint64_t> end;
  bool broken = false;
  const auto visit = [&](std::uint64_t position, ByteSpan bytes, std::size_t begins) {
    for (std::size_t i = 0; i < begins; ++i) {
      const char c = static_cast<char>(bytes[i]);
      if (state == State::Binary) {
        const std::uint64_t skip = std::min<std::uint64_t>(binaryLeft, begins - i);
        binaryLeft -= skip;
        i += skip - 1;
        if (binaryLeft == 0) state = State::Text;
        continue;
      }
      if (c == '\0') {
        broken = true;
        return false;
      }
      if (state == State::Number) {
        if (IsDigit(c) && number < (std::uint64_t{1} << 40)) {
          number = number * 10 + static_cast<std::uint64_t>(c - '0');
          continue;
        }
        const bool binary = wordLength == 3 && std::string_view(word.data(), 3) == "bin";
        state = State::Text;
        if (binary && number > 0) {
          binaryLeft = number;
          state = State::Binary;
          if (c != ' ') --i;  // a space only delimits the control word
          continue;
        }
        if (c == ' ') continue;
      } else if (state == State::Word) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (letter) {
          if (wordLength < word.size()) word[wordLength] = c;
          ++wordLength;
          continue;
        }
        if (IsDigit(c) || c == '-') {
          number = IsDigit(c) ? static_cast<std::uint64_t>(c - '0') : 0;
          state = State::Number;
          continue;
        }
        state = State::Text;
        if (c == ' ') continue;
      } else if (state == State::Escape) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (letter) {
          word[0] = c;
          wordLength = 1;
          state = State::Word;
        } else {
          state = State::Text;  // \{, \}, \\ and the other control symbols
        }
        continue;
      }
      if (c == '\\') {
        state = State::Escape;
      } else if (c == '{') {
        ++depth;
      } else if (c == '}') {
        if (depth == 0 || --depth == 0) {
          end = position - start + i + 1;
          return false;
        }
      }
    }
    return true;
  };
  if (!ScanForward(read, start, start + limit, 0, visit) || broken) return std::nullopt;
  return end;
}

}  // namespace vantrel
