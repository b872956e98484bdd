#pragma once
// An LVM2 physical volume on disk: its label (in one of the first four sectors), the
// header that follows it with the data and metadata areas, and the newest valid copy of
// the volume group's metadata text in the metadata areas.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "disk/DiskSource.h"
#include "stacks/LvmVolumeGroup.h"

namespace vantrel {

struct LvmArea {
  std::uint64_t offsetBytes = 0;
  std::uint64_t sizeBytes = 0;
};

struct LvmPhysicalVolumeLabel {
  std::string uuid;  // 32 characters, no dashes
  std::uint64_t deviceBytes = 0;
  std::vector<LvmArea> metadataAreas;
};

// The CRC the label and metadata headers carry (CRC-32, reflected, starting from the given
// value, no final inversion).
std::uint32_t LvmChecksum(std::span<const std::byte> bytes, std::uint32_t initial = 0xf597a6cf);

// Decodes the label sector found at sector `sector` of the volume.
std::optional<LvmPhysicalVolumeLabel> DecodeLvmLabel(std::span<const std::byte> labelSector, std::uint64_t sector);
std::optional<LvmPhysicalVolumeLabel> FindLvmLabel(DiskSource& volume);

// The newest volume group metadata of the metadata area: the copy its header points at when
// that copy's checksum holds and it reads, else the highest sequence number among the
// earlier copies the area still holds.
std::optional<LvmVolumeGroup> ReadNewestMetadata(std::span<const std::byte> area);
std::optional<LvmVolumeGroup> ReadNewestMetadata(DiskSource& volume, const LvmPhysicalVolumeLabel& label);

}  // namespace vantrel
