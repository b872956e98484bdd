#pragma once
// Writes the pieces of a ReiserFS volume that the partition searches look at: the
// superblock at start + 128 and the first sector of the root node.

#include <cstdint>
#include <span>
#include <string>

namespace vantrel::test {

struct CraftedSuperblock {
  std::uint32_t blockCount = 1000;
  std::uint16_t blockSize = 4096;
  std::uint32_t rootBlock = 20;
  std::string magic = "ReIsEr2Fs";
};

// The 512-byte superblock sector.
void FillSuperblockSector(std::span<std::byte> sector, const CraftedSuperblock& superblock);
// The root node's level in the first u16 of its first sector.
void FillNodeLevel(std::span<std::byte> sector, std::uint16_t level);

}  // namespace vantrel::test
