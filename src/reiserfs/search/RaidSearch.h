#pragma once
// The raid search: for member disks whose md superblocks are gone, the arrays they may have
// made. ReiserFS superblocks are looked for on the members; then every plausible level
// and layout (0, 1, 4, 5 in all four layouts, 6, 10 near, far and offset), chunk size
// (4 KiB to 1 MiB), member order and data offset (0, the usual defaults, what a damaged md
// superblock still says, and those that put a superblock found at the start of the array
// or of a logical volume) is tried, and each guess is ranked by how well the volumes'
// trees hold together read through it.

#include <cstdint>
#include <string>
#include <vector>

#include "base/StopToken.h"
#include "disk/DiskNameTable.h"
#include "stacks/ManualArray.h"

namespace vantrel {

struct RaidCandidate {
  ManualArrayParameters parameters;  // ManualArrayText gives the --raid text that puts it together
  std::uint64_t inPlace = 0;
  std::uint64_t amiss = 0;
  std::int64_t score = 0;
  std::uint64_t firstVolumeByte = 0;  // where the first volume that holds together starts on it
  bool startRecognised = false;       // a volume or an LVM2 label at the array's start
};

struct RaidSearchResult {
  std::vector<std::string> members;       // the disks (or their largest partitions) tried
  std::uint32_t superblocksFound = 0;     // ReiserFS superblocks (and copies) on them
  std::uint64_t tried = 0;                // guesses tried
  bool stopped = false;                   // stop was requested before every guess was tried
  bool bounded = false;                   // not every member order was tried (too many members)
  std::vector<RaidCandidate> candidates;  // the best first, only those some volume holds together on
};

class RaidSearchProgress {
 public:
  virtual ~RaidSearchProgress() = default;
  // The members' first bytes were read up to `bytes` of `total`.
  virtual void OnScanned(std::uint64_t /*bytes*/, std::uint64_t /*total*/) {}
  // `tried` guesses of `total` were weighed.
  virtual void OnTried(std::uint64_t /*tried*/, std::uint64_t /*total*/) {}
};

struct RaidSearchLimits {
  std::uint64_t scanBytes = std::uint64_t{256} << 20;  // read of each member for superblocks
  std::uint32_t blockBudget = 1024;                    // tree blocks read per volume and guess
  std::uint64_t mostLayouts = 400000;                  // level, chunk and order guesses; beyond, orders are left out
  std::size_t kept = 10;                               // candidates returned
};

// Why the search offers nothing (no members, no superblock, no guess that holds together).
std::string RaidSearchFoundNothing(const RaidSearchResult& result);

// Tries the first `givenDisks` disks of the table (a disk with partitions by its largest one).
RaidSearchResult SearchRaidArrays(const DiskNameTable& names, std::size_t givenDisks, const StopToken& stop,
                                  RaidSearchProgress& progress, const RaidSearchLimits& limits = {});

}  // namespace vantrel
