#include "app/ControlIds.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "app/WizardViews.h"
#include "reiserfs/PartitionSearch.h"
#include "reiserfs/ReiserSuperblock.h"

namespace vantrel {

namespace {

constexpr std::uint64_t kUsualHeads = 255;
constexpr std::uint64_t kUsualSectorsPerTrack = 63;

struct Geometry {
  std::uint64_t cylinders;
  std::uint64_t heads;
  std::uint64_t sectorsPerTrack;
};

// The geometry of the store, translated to 255 heads and 63 sectors per track when the
// disk reports another number of sectors per track.
Geometry UsualGeometry(const WizardState& state) {
  const std::string name = DiskNameTable::DiskName(state.CurrentDiskIndex);
  Geometry g{state.diskInfo.ReadNumber(diskinfo::kCylinderKey, name),
             state.diskInfo.ReadNumber(diskinfo::kHeadKey, name),
             state.diskInfo.ReadNumber(diskinfo::kSectorsPerTrackKey, name)};
  if (g.sectorsPerTrack != kUsualSectorsPerTrack) {
    g.cylinders = g.sectorsPerTrack * g.heads * g.cylinders / (kUsualHeads * kUsualSectorsPerTrack);
    g.heads = kUsualHeads;
    g.sectorsPerTrack = kUsualSectorsPerTrack;
  }
  return g;
}

}  // namespace

void SearchMorePartitions(WizardState& state) {
  WindowPort& window = state.Window();
  ShowView(state, 9);
  ClearPartitionRecords(state);

  const Geometry g = UsualGeometry(state);
  bool tableFull = false;
  for (std::uint64_t index = 0; index < g.cylinders && !tableFull; ++index) {
    window.SetProgress(control::kMoreSearchProgress, static_cast<int>(index * 100 / g.cylinders));
    const std::uint64_t cylinderStart = index * g.heads * g.sectorsPerTrack;
    for (const std::uint64_t candidate : {cylinderStart + g.sectorsPerTrack, cylinderStart}) {
      if (!IsReiserPartition(state, candidate)) continue;
      const auto superblock = ReadSuperblock(state, candidate);
      if (superblock &&
          !AddPartitionRecord(state, candidate, std::uint64_t{superblock->blockCount} * superblock->SectorsPerBlock()))
        tableFull = true;
      break;  // the other candidate of this cylinder is not tested
    }
  }
  if (tableFull) window.ShowMessage(kPartitionTableFullMessage);
  if (state.partitionTable.count == 0) window.SystemMessage(kMoreSearchFoundNothing, SystemIcon::Error);
  ShowView(state, 10);
}

}  // namespace vantrel
