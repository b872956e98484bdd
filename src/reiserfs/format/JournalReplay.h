#pragma once
// The journal replayed in memory: the committed transactions after the last one written in
// place, taken in order from the header's first unflushed offset around the journal area,
// give for each block they logged the journal block that holds its newest copy. Nothing is
// written; the caller reads the copies from the journal when it reads those blocks.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/LittleEndian.h"
#include "reiserfs/format/ReiserSuperblock.h"

namespace vantrel {

// Where the journal lies, from the superblock's journal parameters.
struct JournalArea {
  std::uint32_t firstBlock = 0;      // on the device that holds the journal
  std::uint32_t size = 0;            // blocks of the area; the journal header follows them
  std::uint32_t maxTransaction = 0;  // the longest transaction the file system writes; 0 when not said
  std::uint32_t device = 0;          // 0: the journal lies on the volume's own device

  static JournalArea Of(const ReiserSuperblock& superblock);
  std::uint64_t HeaderBlock() const { return std::uint64_t{firstBlock} + size; }
  bool OnOwnDevice() const { return device == 0; }
};

// What the volume the journal belongs to allows a transaction to log.
struct JournalVolume {
  std::uint32_t blockSize = 0;
  std::uint32_t blockCount = 0;  // blocks of the volume: logged blocks lie below it
};

// Reads one journal block (a number on the journal's device) into a buffer of the block
// size; false when it could not be read whole.
using JournalBlockRead = std::function<bool(std::uint32_t block, MutableByteSpan into)>;

struct JournalReplay {
  // (block of the volume, journal block of its newest committed copy), by block.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> copies;
  std::uint32_t transactions = 0;  // replayed
  // Why the walk ended before the journal's end where a transaction that was there could
  // not be taken (cut, of another mount, naming blocks it cannot log, unreadable); empty
  // when it simply ran out of transactions.
  std::string stoppedBecause;
  bool headerRead = false;  // false: the journal area or its header could not be used
};

// Walks the journal. Every transaction is checked whole before any of it is taken: its
// descriptor and commit agree on transaction id and length, the length is at most what
// the superblock and the two blocks allow and fits in the journal, the id is above the
// last one taken (the header's last flushed one at first), the mount id is the header's,
// and every logged block lies in the volume, after its first 64 KiB and (on the same
// device) outside the journal area and its header. The first transaction that fails ends
// the walk; the walk never covers more than the journal area once.
JournalReplay ReplayJournal(const JournalArea& area, const JournalVolume& volume, const JournalBlockRead& read);

}  // namespace vantrel
