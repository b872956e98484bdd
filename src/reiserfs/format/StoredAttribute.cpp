#include "reiserfs/format/StoredAttribute.h"

#include <charconv>

namespace vantrel {

namespace {

constexpr std::uint32_t kStoredAclVersion = 1;
constexpr std::uint32_t kPosixAclVersion = 2;
constexpr std::uint32_t kNoId = 0xFFFFFFFF;

// ACL entry tags.
constexpr std::uint16_t kUserObject = 0x01;
constexpr std::uint16_t kUser = 0x02;
constexpr std::uint16_t kGroupObject = 0x04;
constexpr std::uint16_t kGroup = 0x08;
constexpr std::uint16_t kMask = 0x10;
constexpr std::uint16_t kOther = 0x20;

std::optional<std::uint32_t> ParseHex(std::string_view text) {
  std::uint32_t value = 0;
  if (text.empty() || text.size() > 8) return std::nullopt;
  for (const char c : text)
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return std::nullopt;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

void PutU16(std::vector<std::byte>& out, std::uint16_t value) {
  out.push_back(static_cast<std::byte>(value & 0xFF));
  out.push_back(static_cast<std::byte>(value >> 8));
}

void PutU32(std::vector<std::byte>& out, std::uint32_t value) {
  PutU16(out, static_cast<std::uint16_t>(value & 0xFFFF));
  PutU16(out, static_cast<std::uint16_t>(value >> 16));
}

}  // namespace

std::optional<AttributeOwner> ParseAttributeFolderName(std::string_view name) {
  const auto dot = name.find('.');
  if (dot == std::string_view::npos) return std::nullopt;
  const auto objectId = ParseHex(name.substr(0, dot));
  const auto generation = ParseHex(name.substr(dot + 1));
  if (!objectId || !generation) return std::nullopt;
  return AttributeOwner{*objectId, *generation};
}

std::optional<ByteSpan> StoredAttributeValue(ByteSpan file) {
  if (file.size() < kStoredAttributeHeader || ReadU32(file, 0) != kStoredAttributeMagic) return std::nullopt;
  return file.subspan(kStoredAttributeHeader);
}

std::optional<std::vector<std::byte>> PosixAclValue(ByteSpan stored) {
  if (stored.size() < 4 || ReadU32(stored, 0) != kStoredAclVersion) return std::nullopt;
  std::vector<std::byte> value;
  PutU32(value, kPosixAclVersion);
  std::size_t at = 4;
  while (at < stored.size()) {
    if (stored.size() - at < 4) return std::nullopt;
    const std::uint16_t tag = ReadU16(stored, at);
    const std::uint16_t permissions = ReadU16(stored, at + 2);
    std::uint32_t id = kNoId;
    switch (tag) {
      case kUser:
      case kGroup:
        if (stored.size() - at < 8) return std::nullopt;
        id = ReadU32(stored, at + 4);
        at += 8;
        break;
      case kUserObject:
      case kGroupObject:
      case kMask:
      case kOther: at += 4; break;
      default: return std::nullopt;
    }
    PutU16(value, tag);
    PutU16(value, permissions);
    PutU32(value, id);
  }
  return value;
}

}  // namespace vantrel
