#pragma once
// An md array described by hand, for members whose superblocks are gone:
// "LEVEL:CHUNK:MEMBERS[:LAYOUT][:OFFSET]", e.g. "5:128K:0p1,1p1,missing,3p1:left-symmetric:2048".
// MEMBERS are the given disks in role order ("2" a whole disk, "2p1" its partition 1,
// "missing" an absent one); CHUNK is in KiB unless it has a K or M; OFFSET, where each
// member's data starts, in sectors unless it has a K or M (or s for sectors).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stacks/MdGeometry.h"

namespace vantrel {

struct ManualMember {
  bool missing = false;
  std::size_t disk = 0;
  int partition = 0;  // 0: the whole disk
  bool operator==(const ManualMember&) const = default;
};

struct ManualArrayParameters {
  int level = 0;
  std::uint64_t chunkBytes = 0;  // 0 for RAID1
  std::vector<ManualMember> members;
  std::uint32_t layout = 0;  // the md driver's layout number
  std::uint64_t dataOffsetBytes = 0;
  bool operator==(const ManualArrayParameters&) const = default;
};

struct ParsedManualArray {
  std::optional<ManualArrayParameters> parameters;
  std::string error;  // why the text is no array, when parameters is empty
};

ParsedManualArray ParseManualArray(std::string_view text);

// The text ParseManualArray reads back as the same array.
std::string ManualArrayText(const ManualArrayParameters& parameters);

// The layout's short name as --raid takes it ("left-symmetric", "n2", "f2", "o2"), empty for
// levels without one.
std::string ManualLayoutName(int level, std::uint32_t layout);

// The geometry of the array over members of memberBytes each (the smallest present one).
MdGeometry ManualGeometry(const ManualArrayParameters& parameters, std::uint64_t memberBytes);

}  // namespace vantrel
