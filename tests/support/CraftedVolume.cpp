#include "support/CraftedVolume.h"

#include <algorithm>

#include "base/LittleEndian.h"

namespace vantrel::test {

void FillSuperblockSector(std::span<std::byte> sector, const CraftedSuperblock& superblock) {
  std::fill(sector.begin(), sector.end(), std::byte{0});
  WriteLittleEndian<std::uint32_t>(sector, 0, superblock.blockCount);
  WriteLittleEndian<std::uint32_t>(sector, 8, superblock.rootBlock);
  WriteLittleEndian<std::uint16_t>(sector, 44, superblock.blockSize);
  for (std::size_t i = 0; i < superblock.magic.size() && 52 + i < sector.size(); ++i)
    sector[52 + i] = static_cast<std::byte>(superblock.magic[i]);
}

void FillNodeLevel(std::span<std::byte> sector, std::uint16_t level) {
  WriteLittleEndian<std::uint16_t>(sector, 0, level);
}

}  // namespace vantrel::test
