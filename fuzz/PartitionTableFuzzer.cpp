// libFuzzer target: sectors placed anywhere on a 2 TiB disk of zeros, read by the search of
// the partition tables (the boot sector and the chain of extended boot records) and by the
// cylinder search over its first cylinders. The input is records of a u32 sector number and
// up to 512 bytes of the sector. No search may keep more than the table holds, nor loop
// along a chain of boot records.

#include <cstdlib>

#include "FuzzDisk.h"
#include "reiserfs/search/PartitionSearch.h"

using namespace vantrel;

namespace {

constexpr std::uint64_t kDiskSectors = std::uint64_t{1} << 32;

void CheckResult(const PartitionSearchResult& result) {
  if (result.partitions.size() > kMaxPartitions) std::abort();
  if (result.tableFull && result.partitions.size() != kMaxPartitions) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InputCursor input(ByteSpan(reinterpret_cast<const std::byte*>(data), size));
  const std::uint8_t heads = input.U8();
  auto sparse = std::make_unique<fuzz::SparseDiskSource>(kDiskSectors);
  while (!input.AtEnd()) {
    const std::uint32_t sector = input.U32();
    sparse->Put(sector, input.Take(kSectorSize));
  }
  fuzz::FuzzDisk disk(std::move(sparse));
  const DiskReader reader = disk.Reader();
  PartitionSearchProgress progress;
  CheckResult(SearchPartitionTables(reader, progress));
  // The first 32 cylinders of a disk with the reported heads and 63 sectors per track.
  CheckResult(SearchCylinderStarts(reader, {32, heads == 0 ? 255u : heads, 63}, progress));
  return 0;
}
