#pragma once
// The md RAID superblock of one member: version 0.90 (in the last 64 KiB-aligned 64 KiB),
// 1.0 (8 to 16 sectors before the end), 1.1 (at the start) and 1.2 (4 KiB from the start).
// Every field is checked against the superblock's checksum and the member's size before
// it is believed.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "disk/DiskSource.h"
#include "stacks/MdGeometry.h"

namespace vantrel {

using ArrayUuid = std::array<std::uint8_t, 16>;

struct MdMemberSuperblock {
  std::string version;  // "0.90", "1.0", "1.1", "1.2"
  ArrayUuid arrayUuid{};
  std::string name;  // the array's name (1.x), empty for 0.90
  MdGeometry geometry;
  std::uint64_t dataOffset = 0;   // sectors from the start of the member to its data
  std::uint64_t superOffset = 0;  // sectors from the start of the member to the superblock
  // The data sectors this member offers: what RAID0 zones and linear arrays use of it,
  // whatever the other members offer.
  std::uint64_t dataSectors = 0;
  std::optional<std::uint32_t> role;  // none for a spare or a member marked faulty
  std::uint64_t events = 0;
  bool clean = false;
  bool rebuilding = false;  // the member was being rebuilt: only part of its data is there
  std::string unsupported;  // why the array cannot be read as it stands (a reshape), or empty
};

// Decodes a 0.90 superblock (4096 bytes, in either byte order) found at superOffset of a
// member of memberSectors sectors; nothing when it is not one or does not hold together.
std::optional<MdMemberSuperblock> DecodeMdSuperblock090(std::span<const std::byte> block, std::uint64_t superOffset,
                                                        std::uint64_t memberSectors);
// Decodes a 1.x superblock (up to 4096 bytes) found at superOffset; version says which
// of "1.0", "1.1", "1.2" that place stands for.
std::optional<MdMemberSuperblock> DecodeMdSuperblock1(std::span<const std::byte> block, std::uint64_t superOffset,
                                                      std::uint64_t memberSectors, const std::string& version);

// Looks for a superblock at each of the four places of a member (1.2, 1.1, 1.0, then 0.90).
std::optional<MdMemberSuperblock> FindMdSuperblock(DiskSource& member);

// "1f636f43:4f380ef2:2fc62c83:19ee213f"
std::string UuidText(const ArrayUuid& uuid);

}  // namespace vantrel
