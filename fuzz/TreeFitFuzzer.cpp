// libFuzzer target: any bytes as a ReiserFS volume read through a guessed array, as the
// raid search weighs its guesses: the superblock's fields and the blocks of the volume come
// from the input, the array's level, layout, chunk and member count too. The walk stays
// within its budget and reads only inside the members, whatever the nodes point at.

#include <cstdlib>
#include <memory>
#include <vector>

#include "FuzzDisk.h"
#include "reiserfs/search/TreeFit.h"
#include "stacks/ManualArrayAssembly.h"

using namespace vantrel;

namespace {

constexpr std::uint32_t kBudget = 64;
constexpr std::size_t kMemberBytes = 64 * 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InputCursor input(std::as_bytes(std::span(data, size)));
  // The guess: a level with its layout, a chunk of 4 to 32 KiB, three to five members.
  static constexpr int kLevels[] = {0, 1, 4, 5, 6, 10};
  ManualArrayParameters parameters;
  parameters.level = kLevels[input.U8() % 6];
  parameters.chunkBytes = parameters.level == 1 ? 0 : std::uint64_t{4096} << (input.U8() % 4);
  const std::size_t members = 4 + input.U8() % 2;
  parameters.layout = parameters.level == 10 ? (input.U8() % 2 == 0 ? 0x102u : 0x201u) : input.U8() % 4;
  std::vector<std::optional<MemberContainer>> containers;
  std::vector<std::byte> bytes(kMemberBytes);
  for (std::size_t m = 0; m < members; ++m) {
    const ByteSpan part = input.Take(kMemberBytes / 8);
    std::copy(part.begin(), part.end(), bytes.begin());
    parameters.members.push_back({false, m, 0});
    containers.push_back(MemberContainer{"member", std::make_shared<fuzz::PatchedDiskSource>(bytes), {}, {}});
  }
  const auto array = MakeManualArray(parameters, containers, {});
  if (!array) return 0;

  // The superblock: the input's block size, root and height, over a few blocks.
  ReiserSuperblock superblock;
  superblock.blockSize = static_cast<std::uint16_t>(1024u << (input.U8() % 3));
  superblock.blockCount = 1 + input.U16() % 256;
  superblock.rootBlock = input.U16() % 300;
  superblock.treeHeight = input.U8() % 8;
  const std::uint64_t start = static_cast<std::uint64_t>(input.U16() % 16) * 512;
  const TreeFit fit = FitVolumeTree(*array, start, superblock, kBudget);
  // Every block read counts once, the bitmaps at most 32 more; what was never read, once.
  if (fit.inPlace > kBudget + 32) std::abort();
  return 0;
}
