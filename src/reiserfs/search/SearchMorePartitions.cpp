#include "reiserfs/search/PartitionSearch.h"
#include "reiserfs/format/ReiserSuperblock.h"

namespace vantrel {

namespace {

constexpr std::uint64_t kUsualHeads = 255;
constexpr std::uint64_t kUsualSectorsPerTrack = 63;

}  // namespace

CylinderGeometry UsualGeometry(const CylinderGeometry& reported) {
  CylinderGeometry g = reported;
  if (g.sectorsPerTrack != kUsualSectorsPerTrack) {
    g.cylinders = g.sectorsPerTrack * g.heads * g.cylinders / (kUsualHeads * kUsualSectorsPerTrack);
    g.heads = kUsualHeads;
    g.sectorsPerTrack = kUsualSectorsPerTrack;
  }
  return g;
}

PartitionSearchResult SearchCylinderStarts(const DiskReader& disk, const CylinderGeometry& geometry,
                                           PartitionSearchProgress& progress) {
  const CylinderGeometry g = UsualGeometry(geometry);
  PartitionSearchResult result;
  for (std::uint64_t index = 0; index < g.cylinders && !result.tableFull; ++index) {
    progress.OnCylinder(index, g.cylinders);
    const std::uint64_t cylinderStart = index * g.heads * g.sectorsPerTrack;
    for (const std::uint64_t candidate : {cylinderStart + g.sectorsPerTrack, cylinderStart}) {
      if (!IsReiserPartition(disk, candidate)) continue;
      if (const auto superblock = ReadSuperblock(disk, candidate)) {
        if (result.partitions.size() >= kMaxPartitions) {
          result.tableFull = true;
        } else {
          result.partitions.push_back({std::uint64_t{superblock->blockCount} * superblock->SectorsPerBlock(), candidate});
          progress.OnFound(result.partitions.back(), result.partitions.size());
        }
      }
      break;  // the other candidate of this cylinder is not tested
    }
  }
  return result;
}

}  // namespace vantrel
