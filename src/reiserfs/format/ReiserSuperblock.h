#pragma once
// The ReiserFS superblock: 204 bytes at byte 65536 of the partition (sector start + 128),
// with the magic "ReIsErFs" (format 3.5), "ReIsEr2Fs" (format 3.6) or "ReIsEr3Fs" (format
// 3.6 with a journal of another size or on another device).

#include <array>
#include <cstdint>
#include <optional>

#include "base/LittleEndian.h"
#include "disk/DiskReader.h"

namespace vantrel {

inline constexpr std::uint64_t kSuperblockSectorOffset = 65536 / 512;
inline constexpr std::size_t kSuperblockSize = 204;

struct ReiserSuperblock {
  std::uint32_t blockCount = 0;
  std::uint32_t freeBlockCount = 0;
  std::uint32_t rootBlock = 0;
  std::array<std::uint32_t, 8> journal{};  // first block, device, size, max transaction, magic, max batch, max commit age, max transaction age
  std::uint16_t blockSize = 0;
  std::uint16_t objectIdMapMaxSize = 0;
  std::uint16_t objectIdMapCurrentSize = 0;
  std::uint16_t unmountState = 0;
  std::array<std::byte, 10> magic{};
  std::uint16_t fileSystemState = 0;
  std::uint32_t hashFunctionCode = 0;
  std::uint16_t treeHeight = 0;
  std::uint16_t bitmapBlockCount = 0;
  std::uint16_t formatVersion = 0;
  std::uint16_t journalReservedBlocks = 0;
  std::uint32_t inodeGeneration = 0;
  std::array<std::byte, 124> tail{};  // flags, UUID, label, reserved

  // Decodes the first 204 bytes of a sector; nothing when fewer bytes are given.
  static std::optional<ReiserSuperblock> Decode(ByteSpan bytes);
  // The 204 bytes that Decode reads, field by field: Encode(Decode(bytes)) gives them back.
  std::array<std::byte, kSuperblockSize> Encode() const;
  // Sectors per block: the block size divided by 512, rounded down.
  std::uint32_t SectorsPerBlock() const { return blockSize / 512u; }
  // Non-zero block count, block size and root block, and 2, 4 or 8 sectors per block.
  bool IsPlausible() const;
};

// The magic text at offset 52, up to its NUL within the 10-byte field, equals "ReIsErFs",
// "ReIsEr2Fs" or "ReIsEr3Fs" when ASCII case is ignored.
bool HasReiserMagic(ByteSpan sector);

// The magic-only test of the sector at start + 128.
bool IsReiserSuperblock(const DiskReader& disk, std::uint64_t start);

// The strict test: magic, plausible fields, a start of at least sector 65, and a root
// node at a level from 1 (a leaf) to 5.
bool IsReiserPartition(const DiskReader& disk, std::uint64_t start);

// Reads the superblock of the partition at start; nothing when the sector cannot be read
// whole or carries no ReiserFS magic.
std::optional<ReiserSuperblock> ReadSuperblock(const DiskReader& disk, std::uint64_t start);

// True when the first u16 (the node level) of the root node's first sector is a leaf's or an
// internal node's above it: 1 to 5.
bool HasPlausibleRootNode(const DiskReader& disk, std::uint64_t start, const ReiserSuperblock& superblock);

}  // namespace vantrel
