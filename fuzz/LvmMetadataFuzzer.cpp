// libFuzzer target: any bytes as the start of an LVM2 physical volume (label in sector 1,
// metadata area at 4 KiB), with the label's, the area header's and the pointed text's
// checksums made to hold; and the same bytes as a metadata text of their own. A volume
// group read keeps every segment on its physical volumes.

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzDisk.h"
#include "stacks/LvmLabel.h"

using namespace vantrel;

namespace {

constexpr std::size_t kVolumeBytes = 1 << 20;

void MakeChecksumsHold(std::vector<std::byte>& volume) {
  const std::span<std::byte> label(volume.data() + 512, 512);
  WriteLittleEndian<std::uint32_t>(label, 16, LvmChecksum(label.subspan(20)));
  const std::span<std::byte> area(volume.data() + 4096, volume.size() - 4096);
  const std::uint64_t offset = ReadU64(area, 40);
  const std::uint64_t size = ReadU64(area, 48);
  if (offset < area.size() && size <= area.size() - offset)
    WriteLittleEndian<std::uint32_t>(area, 56, LvmChecksum(area.subspan(offset, size)));
  WriteLittleEndian<std::uint32_t>(area, 0, LvmChecksum(area.subspan(4, 508)));
}

void Check(const std::optional<LvmVolumeGroup>& group) {
  if (!group) return;
  for (const LvmLogicalVolume& volume : group->logicalVolumes) {
    std::uint64_t next = 0;
    for (const LvmSegment& segment : volume.segments) {
      if (segment.startExtent != next) std::abort();
      next += segment.extentCount;
      for (const LvmStripe& stripe : segment.stripes) {
        if (stripe.pv >= group->physicalVolumes.size()) std::abort();
        const auto& pv = group->physicalVolumes[stripe.pv];
        if (stripe.firstExtent + segment.extentCount / segment.stripes.size() > pv.peCount) std::abort();
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Check(ReadVolumeGroup(std::string(reinterpret_cast<const char*>(data), size)));
  std::vector<std::byte> bytes(std::max<std::size_t>(std::min(size, kVolumeBytes), 4096 + 512));
  std::memcpy(bytes.data(), data, std::min(size, kVolumeBytes));
  MakeChecksumsHold(bytes);
  static fuzz::PatchedDiskSource volume{std::vector<std::byte>(kVolumeBytes)};
  volume.Patch(0, bytes);
  if (const auto label = FindLvmLabel(volume)) Check(ReadNewestMetadata(volume, *label));
  volume.Restore();
  return 0;
}
