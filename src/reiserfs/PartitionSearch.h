#pragma once
// The three searches that fill the partition table of the current disk: from the
// partition tables (quick), from every sector (advanced) and at cylinder boundaries.

namespace vantrel {

struct WizardState;

inline constexpr const char* kQuickSearchFoundNothing =
    "No ReiserFS partition found, use search more partitions or use Advance Search in previous menu";
inline constexpr const char* kAdvancedSearchFoundNothing =
    "No ReiserFS partition found, use Raw Recovery in previous menu";
inline constexpr const char* kMoreSearchFoundNothing = "No ReiserFS partition found, use advance search";

// Walks the primary table in sector 0 and the chain of extended boot records and keeps
// every Linux-type entry whose start carries a ReiserFS superblock.
void QuickSearch(WizardState& state);

// Tests every sector of the disk for a superblock with a plausible root node; stops when
// StopRequested is set, and clears it at the end.
void AdvancedSearch(WizardState& state);

// Tests the two usual partition starts of every cylinder with the strict test.
void SearchMorePartitions(WizardState& state);

}  // namespace vantrel
