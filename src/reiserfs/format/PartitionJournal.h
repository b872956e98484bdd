#pragma once
// The journal of a partition read for a build: replayed in memory unless the user asked
// for the blocks as they lie, or left alone when it lives on a device that was not given.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "disk/DiskReader.h"
#include "reiserfs/format/LoggedCopies.h"
#include "reiserfs/format/ReiserSuperblock.h"

namespace vantrel {

struct JournalOptions {
  bool replay = true;
  // The device of a journal kept apart from its volume (block 0 at its sector 0).
  std::optional<DiskReader> journalDisk;
};

enum class JournalOutcome : std::uint8_t {
  Clean,      // nothing committed waits to be written in place
  Replayed,   // committed transactions are read from the journal
  Ignored,    // the user asked for the blocks as they lie
  Elsewhere,  // the journal lives on another device, which was not given
};

struct JournalState {
  JournalOutcome outcome = JournalOutcome::Clean;
  std::uint32_t transactions = 0;              // replayed
  std::string stoppedBecause;                  // why a transaction after those was not replayed
  std::shared_ptr<const LoggedCopies> copies;  // Replayed only
};

struct ReplayedPartition {
  JournalState journal;
  // The superblock as the replay leaves it: its newest committed copy where the journal
  // holds one, else the one in place.
  ReiserSuperblock superblock;
};

// Reads the journal of the partition at start whose superblock in place is given.
ReplayedPartition ReadPartitionJournal(const DiskReader& disk, std::uint64_t start, const ReiserSuperblock& superblock,
                                       const JournalOptions& options);

// "Journal: N transactions replayed in memory (the disk is not written)", "Journal: clean", ...
std::string JournalStateText(const JournalState& journal);

}  // namespace vantrel
