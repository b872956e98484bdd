#include "reiserfs/format/PartitionJournal.h"

#include "reiserfs/format/JournalReplay.h"
#include "reiserfs/format/PartitionBlocks.h"

namespace vantrel {

namespace {

constexpr std::uint32_t kSuperblockByte = 65536;

// The superblock read through the copies: where the journal logged it, its newest copy,
// when that carries the magic and the same block size.
ReiserSuperblock ReplayedSuperblock(const DiskReader& disk, std::uint64_t start, const ReiserSuperblock& inPlace,
                                    const std::shared_ptr<const LoggedCopies>& copies) {
  PartitionBlocks blocks(disk, start, inPlace);
  blocks.UseLoggedCopies(copies);
  const std::uint32_t blockSize = blocks.BlockSize();
  if (!blocks.Usable()) return inPlace;
  const std::uint32_t block = kSuperblockByte / blockSize;
  if (!copies->CopyOf(block)) return inPlace;
  std::vector<std::byte> bytes(blockSize);
  if (blocks.ReadBlock(bytes, block) == 0) return inPlace;
  const ByteSpan at = ByteSpan(bytes).subspan(kSuperblockByte % blockSize);
  const auto replayed = ReiserSuperblock::Decode(at);
  if (!HasReiserMagic(at) || !replayed || replayed->blockSize != inPlace.blockSize) return inPlace;
  return *replayed;
}

}  // namespace

ReplayedPartition ReadPartitionJournal(const DiskReader& disk, std::uint64_t start, const ReiserSuperblock& superblock,
                                       const JournalOptions& options) {
  ReplayedPartition result{.journal = {}, .superblock = superblock};
  if (!options.replay) {
    result.journal.outcome = JournalOutcome::Ignored;
    return result;
  }
  const JournalArea area = JournalArea::Of(superblock);
  if (!area.OnOwnDevice() && !options.journalDisk) {
    result.journal.outcome = JournalOutcome::Elsewhere;
    return result;
  }
  const PartitionBlocks volume(disk, start, superblock);
  if (!volume.Usable()) return result;
  const DiskReader journalDisk = area.OnOwnDevice() ? disk : *options.journalDisk;
  const std::uint64_t journalStart = area.OnOwnDevice() ? start : 0;
  const std::uint32_t perBlock = volume.SectorsPerBlock();
  const JournalBlockRead read = [&](std::uint32_t block, MutableByteSpan into) {
    return journalDisk.ReadQuietly(journalStart + std::uint64_t{block} * perBlock, into) == ReadOutcome::Ok;
  };
  JournalReplay replay = ReplayJournal(area, {volume.BlockSize(), superblock.blockCount}, read);
  result.journal.stoppedBecause = std::move(replay.stoppedBecause);
  if (replay.transactions == 0) return result;
  result.journal.outcome = JournalOutcome::Replayed;
  result.journal.transactions = replay.transactions;
  auto copies = std::make_shared<LoggedCopies>(
      LoggedCopies{journalDisk, journalStart, !area.OnOwnDevice(), std::move(replay.copies)});
  result.journal.copies = copies;
  result.superblock = ReplayedSuperblock(disk, start, superblock, result.journal.copies);
  return result;
}

std::string JournalStateText(const JournalState& journal) {
  const std::string ended = journal.stoppedBecause.empty() ? ""
                                                           : "; not replayed from there on: " + journal.stoppedBecause;
  switch (journal.outcome) {
    case JournalOutcome::Replayed:
      return "Journal: " + std::to_string(journal.transactions) +
             " transactions replayed in memory (the disk is not written)" + ended;
    case JournalOutcome::Ignored: return "Journal: not replayed (the blocks are shown as they lie on the disk)";
    case JournalOutcome::Elsewhere: return "Journal: on another device; its last changes are not shown";
    case JournalOutcome::Clean: break;
  }
  return journal.stoppedBecause.empty() ? "Journal: clean" : "Journal: nothing replayed" + ended;
}

}  // namespace vantrel
