// libFuzzer target: any bytes as the sector holding a superblock, with the bytes after the
// first 512 as the first sector of the root node it names. Decoding must give back the
// bytes it read, and the partition tests must stay inside the disk they are given.

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "FuzzDisk.h"
#include "reiserfs/build/CatalogueBuild.h"
#include "reiserfs/format/PartitionBlocks.h"
#include "reiserfs/format/ReiserSuperblock.h"

using namespace vantrel;

namespace {

// A partition at sector 65 (the lowest start the strict test accepts) on a 1 MiB disk.
constexpr std::uint64_t kStart = 65;
constexpr std::size_t kDiskBytes = 1 << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::FuzzDisk disk{std::vector<std::byte>(kDiskBytes)};
  const ByteSpan input(reinterpret_cast<const std::byte*>(data), size);
  const ByteSpan sector = input.first(std::min<std::size_t>(size, kSectorSize));

  const auto decoded = ReiserSuperblock::Decode(sector);
  if (decoded.has_value() != (sector.size() >= kSuperblockSize)) std::abort();
  if (decoded) {
    const auto encoded = decoded->Encode();
    if (std::memcmp(encoded.data(), sector.data(), kSuperblockSize) != 0) std::abort();
  }
  // On the disk the sector is whole: what the input leaves out reads as zeros.
  std::array<std::byte, kSectorSize> whole{};
  std::copy(sector.begin(), sector.end(), whole.begin());
  const bool magic = HasReiserMagic(whole);
  const auto onDisk = ReiserSuperblock::Decode(whole);

  fuzz::PatchedDiskSource& source = disk.Source();
  source.Patch((kStart + kSuperblockSectorOffset) * kSectorSize, sector);
  if (size > kSectorSize) {
    // A root block on the superblock's own sector is read as the superblock.
    const std::uint64_t root = kStart + std::uint64_t{onDisk->rootBlock} * onDisk->SectorsPerBlock();
    if (root != kStart + kSuperblockSectorOffset) source.Patch(root * kSectorSize, input.subspan(kSectorSize));
  }
  const DiskReader reader = disk.Reader();
  if (IsReiserSuperblock(reader, kStart) != magic) std::abort();
  const bool strict = IsReiserPartition(reader, kStart);
  if (strict && !(magic && onDisk->IsPlausible())) std::abort();
  const ReiserSuperblock read = ReadPartitionSuperblock(reader, kStart);
  const PartitionBlocks blocks(reader, kStart, read);
  const std::uint64_t blocksOnDisk = blocks.BlocksOnDisk();
  if (blocksOnDisk > read.blockCount) std::abort();
  if (blocksOnDisk > 0 && blocks.FirstSector(static_cast<std::uint32_t>(blocksOnDisk - 1)) >= kDiskBytes / kSectorSize)
    std::abort();
  source.Restore();
  return 0;
}
