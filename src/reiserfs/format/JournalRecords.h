#pragma once
// The journal's own blocks: the journal header (the block after the journal area), and the
// descriptor and commit blocks that open and close each transaction. A transaction of
// length n takes n + 2 blocks of the journal area: its descriptor, the n logged copies and
// its commit. The real block numbers of the copies are listed in the descriptor, after its
// three fields, and continue in the commit block, after its two.

#include <cstdint>
#include <optional>

#include "base/LittleEndian.h"

namespace vantrel {

// The journal header: the last transaction written in place, where the first one that
// may not be lies in the journal area (an offset from its first block), and the mount
// that wrote it.
struct JournalHeader {
  std::uint32_t lastFlushedTransId = 0;
  std::uint32_t firstUnflushedOffset = 0;
  std::uint32_t mountId = 0;

  // Nothing when the block is too short for the three fields.
  static std::optional<JournalHeader> Decode(ByteSpan block);
  // All three fields zero: a journal the file system never wrote a header to.
  bool NeverWritten() const { return lastFlushedTransId == 0 && firstUnflushedOffset == 0 && mountId == 0; }
};

struct JournalDescriptor {
  std::uint32_t transId = 0;
  std::uint32_t length = 0;  // logged blocks in the transaction
  std::uint32_t mountId = 0;

  // Nothing unless the block carries the magic "ReIsErLB" 12 bytes before its end.
  static std::optional<JournalDescriptor> Decode(ByteSpan block);
};

struct JournalCommit {
  std::uint32_t transId = 0;
  std::uint32_t length = 0;

  // Nothing when the block is too short for its two fields.
  static std::optional<JournalCommit> Decode(ByteSpan block);
};

// How many real block numbers a descriptor holds (the rest are in the commit block): as
// many as fit between its three fields and its magic. 0 for blocks too small to hold any.
std::uint32_t BlockNumbersPerDescriptor(std::size_t blockSize);

// The most block numbers one transaction can list: the descriptor's and the commit's.
std::uint32_t MostLoggedBlocks(std::size_t blockSize);

// The real block number of the transaction's logged copy `index`; nothing when index lies
// beyond what the two blocks can hold or the blocks differ in size.
std::optional<std::uint32_t> LoggedBlockNumber(ByteSpan descriptor, ByteSpan commit, std::uint32_t index);

}  // namespace vantrel
