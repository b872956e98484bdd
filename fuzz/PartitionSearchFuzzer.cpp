// libFuzzer target: any bytes as the first sectors of a disk, searched by the three
// partition searches. The first two bytes (boot code, which no search reads as a table)
// choose the reported geometry. Whatever a search finds must lie on the disk's sectors it
// read, and no search may keep more than the table holds; nor may a geometry inferred from
// the tree reach past the disk.

#include <algorithm>
#include <cstdlib>

#include "FuzzDisk.h"
#include "reiserfs/search/InferredGeometry.h"
#include "reiserfs/search/PartitionSearch.h"

using namespace vantrel;

namespace {

constexpr std::uint64_t kMaxCylinders = 4096;

void CheckResult(const PartitionSearchResult& result) {
  if (result.partitions.size() > kMaxPartitions) std::abort();
  if (result.tableFull && result.partitions.size() != kMaxPartitions) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ByteSpan input(reinterpret_cast<const std::byte*>(data), size);
  fuzz::FuzzDisk disk(std::vector<std::byte>(input.begin(), input.end()));
  const DiskReader reader = disk.Reader();
  PartitionSearchProgress progress;

  CheckResult(SearchPartitionTables(reader, progress));

  const std::uint64_t sectors = (size + kSectorSize - 1) / kSectorSize;
  const StopToken stop;
  const PartitionSearchResult scanned = ScanSectorsForPartitions(reader, sectors, stop, progress);
  CheckResult(scanned);
  for (const PartitionRecord& record : scanned.partitions)
    if (record.start >= sectors) std::abort();

  // A geometry inferred from the tree stays on the disk and has a block size the file
  // system writes.
  if (const auto inferred = InferGeometry(reader, 0, sectors, {})) {
    const ReiserSuperblock& found = inferred->superblock;
    const std::uint32_t perBlock = found.SectorsPerBlock();
    if (perBlock == 0 || found.blockSize % 512 != 0 || found.blockSize > 8192) std::abort();
    if (std::uint64_t{found.blockCount} * perBlock > sectors) std::abort();
  }

  const std::uint64_t heads = size > 0 ? std::max<std::uint8_t>(1, data[0]) : 1;
  const std::uint64_t perTrack = size > 1 ? std::max<std::uint8_t>(1, data[1] & 63) : 63;
  const CylinderGeometry geometry{std::min(kMaxCylinders, sectors / (heads * perTrack) + 1), heads, perTrack};
  CheckResult(SearchCylinderStarts(reader, geometry, progress));
  return 0;
}
