#include "reiserfs/search/InferredGeometry.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "base/AlignedBuffer.h"
#include "reiserfs/format/TreeNode.h"
#include "reiserfs/search/TreeFit.h"

namespace vantrel {

namespace {

constexpr std::array<std::uint32_t, 4> kBlockSizes = {4096, 1024, 2048, 8192};
constexpr std::size_t kSampleBytes = std::size_t{1} << 20;  // one read of the sample
constexpr std::uint32_t kSamples = 32;

struct SizeCount {
  std::uint32_t leaves = 0;
  std::uint32_t blocks = 0;
  std::uint32_t newKeys = 0;  // items with keys in the 3.6 layout
  std::uint32_t oldKeys = 0;
};

void CountLeaves(ByteSpan stretch, std::uint32_t blockSize, SizeCount& count) {
  for (std::size_t at = 0; at + blockSize <= stretch.size(); at += blockSize) {
    const ByteSpan block = stretch.subspan(at, blockSize);
    ++count.blocks;
    if (!NodeHoldsTogether(block, kLeafLevel)) continue;
    ++count.leaves;
    const std::uint16_t items = ReadNodeHeader(block).itemCount;
    for (std::size_t i = 0; i < items; ++i)
      if (const auto header = ReadItemHeader(block, i)) ++(header->version == 0 ? count.oldKeys : count.newKeys);
  }
}

void SetFormat(ReiserSuperblock& superblock, bool format36) {
  const char* magic = format36 ? "ReIsEr2Fs" : "ReIsErFs";
  superblock.magic.fill(std::byte{0});
  std::memcpy(superblock.magic.data(), magic, std::strlen(magic));
  superblock.formatVersion = format36 ? 2 : 0;
}

}  // namespace

std::string InferredGeometryText(const InferredGeometry& geometry) {
  const ReiserSuperblock& superblock = geometry.superblock;
  return "geometry found from its tree: block size " + std::to_string(superblock.blockSize) + ", " +
         std::to_string(superblock.blockCount) + " blocks, format " + (superblock.formatVersion >= 2 ? "3.6" : "3.5") +
         " (" + std::to_string(geometry.leavesSeen) + " leaves in " + std::to_string(geometry.blocksRead) +
         " blocks read)";
}

ReiserSuperblock WithHints(ReiserSuperblock superblock, const GeometryHints& hints) {
  if (hints.blockSize) superblock.blockSize = static_cast<std::uint16_t>(*hints.blockSize);
  if (hints.blockCount) superblock.blockCount = *hints.blockCount;
  if (hints.format36) SetFormat(superblock, *hints.format36);
  return superblock;
}

std::optional<InferredGeometry> InferGeometry(const DiskReader& disk, std::uint64_t start, std::uint64_t sectors,
                                              const GeometryHints& hints) {
  std::array<SizeCount, kBlockSizes.size()> counts{};
  AlignedBuffer buffer(kSampleBytes);
  const std::uint64_t sampleSectors = kSampleBytes / kSectorSize;
  const std::uint64_t stretches = std::max<std::uint64_t>(1, sectors / sampleSectors);
  // Spread over the volume: a start that was zeroed or overwritten hides nothing.
  for (std::uint64_t i = 0; i < std::min<std::uint64_t>(stretches, kSamples); ++i) {
    const std::uint64_t k = i * stretches / std::min<std::uint64_t>(stretches, kSamples);
    // Each stretch begins at a multiple of every block size from the start.
    if (disk.ReadQuietly(start + k * sampleSectors, buffer.Bytes()) != ReadOutcome::Ok) continue;
    for (std::size_t s = 0; s < kBlockSizes.size(); ++s) CountLeaves(buffer.Bytes(), kBlockSizes[s], counts[s]);
  }
  std::size_t best = 0;
  for (std::size_t s = 0; s < kBlockSizes.size(); ++s) {
    if (hints.blockSize && kBlockSizes[s] == *hints.blockSize) {
      best = s;
      break;
    }
    if (counts[s].leaves > counts[best].leaves) best = s;
  }
  const SizeCount& found = counts[best];
  const std::uint32_t blockSize = hints.blockSize.value_or(kBlockSizes[best]);
  if (!hints.blockSize && found.leaves == 0) return std::nullopt;
  if (blockSize < 512 || blockSize > 8192 || blockSize % 512 != 0) return std::nullopt;

  InferredGeometry geometry;
  geometry.leavesSeen = found.leaves;
  geometry.blocksRead = found.blocks;
  ReiserSuperblock& superblock = geometry.superblock;
  superblock.blockSize = static_cast<std::uint16_t>(blockSize);
  superblock.blockCount = static_cast<std::uint32_t>(
      std::min<std::uint64_t>(sectors / (blockSize / kSectorSize), UINT32_MAX));
  SetFormat(superblock, found.newKeys >= found.oldKeys);
  superblock = WithHints(superblock, hints);
  if (superblock.blockCount == 0) return std::nullopt;
  return geometry;
}

}  // namespace vantrel
