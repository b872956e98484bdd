#pragma once
// An object's stat data item: its mode, size, owner, times, link count and device number,
// in the 44-byte (3.6) and the 32-byte (3.5) layouts, and the kind of object its mode names.

#include <cstdint>
#include <optional>

#include "base/LittleEndian.h"

namespace vantrel {

// What a stat data item holds beside its mode, size and modification time. The 3.5 layout
// keeps owners in 16 bits and the link count in 16 bits; the 3.6 layout keeps 32 bits.
struct StatDetails {
  std::uint32_t uid = 0;
  std::uint32_t gid = 0;
  std::uint32_t accessTime = 0;  // seconds since 1970 UTC
  std::uint32_t changeTime = 0;
  // The word shared by the device number and the generation: for device nodes their device
  // number (major << 8 | minor, minors above 255 shifted up by 12 more bits); for other
  // objects of the 3.6 layout their generation; 0 for other objects of the 3.5 layout.
  std::uint32_t rdev = 0;
  std::uint32_t linkCount = 0;
};

struct StatData {
  std::uint32_t mode = 0;  // the 16-bit mode, zero-extended
  std::uint64_t size = 0;
  std::uint32_t modificationTime = 0;  // seconds since 1970 UTC
  StatDetails details;
};

// The 44-byte (3.6) and 32-byte (3.5) stat data layouts; nothing for any other length.
std::optional<StatData> DecodeStatData(ByteSpan body);

// The kind of an object, from the type bits of its whole mode (never from one bit alone: a
// block device's 0x6000 holds the folder bit 0x4000).
enum class EntryKind : std::uint8_t { Regular, Folder, Symlink, Fifo, CharDevice, BlockDevice, Socket, Unknown };

inline constexpr std::uint32_t kModeTypeBits = 0xF000;
inline constexpr std::uint32_t kModePermissionBits = 07777;  // set-id, sticky and rwx bits

EntryKind KindOfMode(std::uint32_t mode);
inline bool IsFolderMode(std::uint32_t mode) { return KindOfMode(mode) == EntryKind::Folder; }
inline bool IsDeviceKind(EntryKind kind) { return kind == EntryKind::CharDevice || kind == EntryKind::BlockDevice; }
// "regular", "folder", "symlink", "fifo", "char-device", "block-device", "socket", "unknown".
const char* KindName(EntryKind kind);

// The device numbers of a device node's rdev word.
inline std::uint32_t DeviceMajor(std::uint32_t rdev) { return (rdev & 0xFFF00) >> 8; }
inline std::uint32_t DeviceMinor(std::uint32_t rdev) { return (rdev & 0xFF) | ((rdev >> 12) & 0xFFF00); }

}  // namespace vantrel
