#include "reiserfs/format/StatData.h"

namespace vantrel {

namespace {

constexpr std::size_t kStatData36Length = 44;
constexpr std::size_t kStatData35Length = 32;

}  // namespace

std::optional<StatData> DecodeStatData(ByteSpan body) {
  if (body.size() == kStatData36Length) {
    StatData data{ReadU16(body, 0), ReadU64(body, 8), ReadU32(body, 28), {}};
    data.details = {.uid = ReadU32(body, 16),
                    .gid = ReadU32(body, 20),
                    .accessTime = ReadU32(body, 24),
                    .changeTime = ReadU32(body, 32),
                    .rdev = ReadU32(body, 40),
                    .linkCount = ReadU32(body, 4)};
    return data;
  }
  if (body.size() == kStatData35Length) {
    StatData data{ReadU16(body, 0), ReadU32(body, 8), ReadU32(body, 16), {}};
    // The word at 24 counts blocks unless the object is a device node.
    const bool device = IsDeviceKind(KindOfMode(data.mode));
    data.details = {.uid = ReadU16(body, 4),
                    .gid = ReadU16(body, 6),
                    .accessTime = ReadU32(body, 12),
                    .changeTime = ReadU32(body, 20),
                    .rdev = device ? ReadU32(body, 24) : 0,
                    .linkCount = ReadU16(body, 2)};
    return data;
  }
  return std::nullopt;
}

EntryKind KindOfMode(std::uint32_t mode) {
  switch (mode & kModeTypeBits) {
    case 0x8000: return EntryKind::Regular;
    case 0x4000: return EntryKind::Folder;
    case 0xA000: return EntryKind::Symlink;
    case 0x1000: return EntryKind::Fifo;
    case 0x2000: return EntryKind::CharDevice;
    case 0x6000: return EntryKind::BlockDevice;
    case 0xC000: return EntryKind::Socket;
    default: return EntryKind::Unknown;
  }
}

const char* KindName(EntryKind kind) {
  switch (kind) {
    case EntryKind::Regular: return "regular";
    case EntryKind::Folder: return "folder";
    case EntryKind::Symlink: return "symlink";
    case EntryKind::Fifo: return "fifo";
    case EntryKind::CharDevice: return "char-device";
    case EntryKind::BlockDevice: return "block-device";
    case EntryKind::Socket: return "socket";
    case EntryKind::Unknown: break;
  }
  return "unknown";
}

}  // namespace vantrel
