#pragma once
// Choosing the partition to recover: one of the three searches run on a disk, with what it
// tells the user, and the partition taken from a search's records or from a given start.

#include <cstdint>
#include <optional>
#include <string>

#include "base/Result.h"
#include "base/StopToken.h"
#include "recovery/DiskChoice.h"
#include "recovery/RecoveryMessages.h"
#include "recovery/StepResult.h"
#include "reiserfs/search/InferredGeometry.h"
#include "reiserfs/search/PartitionSearch.h"

namespace vantrel {

inline constexpr const char* kQuickSearchFoundNothing =
    "No ReiserFS partition found, use search more partitions or use Advance Search in previous menu";
inline constexpr const char* kAdvancedSearchFoundNothing =
    "No ReiserFS partition found, use Raw Recovery in previous menu";
inline constexpr const char* kMoreSearchFoundNothing = "No ReiserFS partition found, use advance search";
inline constexpr const char* kPartitionTableFullMessage =
    "The partition list is full: only the first 100 partitions are listed";

// Quick reads the partition tables, Advanced every sector, More the usual starts of every
// cylinder.
enum class PartitionSearchKind { Quick, Advanced, More };

// "quick", "advanced" or "more".
const char* SearchKindName(PartitionSearchKind kind);

// The status text of the sector scan: "Searching Partitions 2048 / 262144".
std::string PartitionScanText(std::uint64_t sector, std::uint64_t totalSectors);

// Runs the search on the disk (only the sector scan heeds stop).
PartitionSearchResult FindPartitions(const DiskChoice& disk, PartitionSearchKind kind, const StopToken& stop,
                                     PartitionSearchProgress& progress);

// Runs the search on the disk (only the sector scan heeds stop), then tells the user when
// more were found than the list holds, and when none was found.
PartitionSearchResult SearchDiskPartitions(const DiskChoice& disk, PartitionSearchKind kind, const StopToken& stop,
                                           PartitionSearchProgress& progress, RecoveryMessages& messages);

// Which partition a step works on: record `record` of a search, or the partition that
// starts at a given sector.
struct PartitionRequest {
  PartitionSearchKind search = PartitionSearchKind::Quick;
  std::uint32_t record = 0;
  std::optional<std::uint64_t> start{};
};

struct ChosenPartition {
  PartitionRecord record;
  PartitionSearchResult found;    // what the search found (nothing for a given start)
  std::uint8_t recoveryMode = 1;  // 1 quick, 2 advanced partition search
};

// The partition of the request. A start without a superblock is read all the same (said in
// a remark); a record beyond those found is NotFound.
Result<ChosenPartition> ChoosePartition(const DiskChoice& disk, const PartitionRequest& request,
                                        PartitionSearchProgress& progress, RecoveryMessages& messages);

}  // namespace vantrel
