// The journal replayed in memory, on journals crafted block by block: which transactions
// are taken, which end the walk, and where each block's newest copy is found.

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "base/LittleEndian.h"
#include "reiserfs/format/JournalRecords.h"
#include "reiserfs/format/JournalReplay.h"

namespace vantrel::test {
namespace {

constexpr std::uint32_t kBlockSize = 1024;
constexpr std::uint32_t kFirst = 100;  // the journal area's first block
constexpr std::uint32_t kSize = 64;    // blocks of the area; the header at kFirst + kSize
constexpr std::uint32_t kMountId = 7;

// A journal on a volume of 4096 blocks of 1 KiB, built block by block.
class CraftedJournal {
 public:
  CraftedJournal() { Header(10, 0, kMountId); }

  void Header(std::uint32_t lastFlushed, std::uint32_t firstUnflushed, std::uint32_t mountId) {
    auto& block = Block(kFirst + kSize);
    WriteLittleEndian(MutableByteSpan(block), 0, lastFlushed);
    WriteLittleEndian(MutableByteSpan(block), 4, firstUnflushed);
    WriteLittleEndian(MutableByteSpan(block), 8, mountId);
  }

  // A transaction at offset logging the blocks given; each copy's first byte is `mark`.
  // Returns the offset after it.
  std::uint32_t Transaction(std::uint32_t offset, std::uint32_t transId, const std::vector<std::uint32_t>& logged,
                            std::uint8_t mark, std::uint32_t mountId = kMountId) {
    const auto length = static_cast<std::uint32_t>(logged.size());
    auto& descriptor = Block(At(offset));
    WriteLittleEndian(MutableByteSpan(descriptor), 0, transId);
    WriteLittleEndian(MutableByteSpan(descriptor), 4, length);
    WriteLittleEndian(MutableByteSpan(descriptor), 8, mountId);
    std::memcpy(descriptor.data() + kBlockSize - 12, "ReIsErLB", 8);
    auto& commit = Block(At(offset + length + 1));
    WriteLittleEndian(MutableByteSpan(commit), 0, transId);
    WriteLittleEndian(MutableByteSpan(commit), 4, length);
    const std::uint32_t half = BlockNumbersPerDescriptor(kBlockSize);
    for (std::uint32_t i = 0; i < length; ++i) {
      if (i < half)
        WriteLittleEndian(MutableByteSpan(descriptor), 12 + 4 * i, logged[i]);
      else
        WriteLittleEndian(MutableByteSpan(commit), 8 + 4 * (i - half), logged[i]);
      Block(At(offset + 1 + i))[0] = std::byte{mark};
    }
    return (offset + length + 2) % kSize;
  }

  // The commit block of the transaction at offset made to belong to another one.
  void CutCommit(std::uint32_t offset, std::uint32_t length) {
    WriteLittleEndian(MutableByteSpan(Block(At(offset + length + 1))), 0, std::uint32_t{0xDEAD});
  }

  void Unreadable(std::uint32_t block) { unreadable_.push_back(block); }

  JournalReplay Replay(JournalArea area = {kFirst, kSize, 0, 0}) const {
    return ReplayJournal(area, {kBlockSize, 4096}, [this](std::uint32_t block, MutableByteSpan into) {
      if (std::find(unreadable_.begin(), unreadable_.end(), block) != unreadable_.end()) return false;
      const auto found = blocks_.find(block);
      std::fill(into.begin(), into.end(), std::byte{0});
      if (found != blocks_.end()) std::copy(found->second.begin(), found->second.end(), into.begin());
      return true;
    });
  }

  // The mark of the journal copy found for a block.
  std::uint8_t MarkOf(std::uint32_t journalBlock) const {
    const auto found = blocks_.find(journalBlock);
    return found == blocks_.end() ? 0 : std::to_integer<std::uint8_t>(found->second[0]);
  }

  static std::uint32_t At(std::uint32_t offset) { return kFirst + offset % kSize; }

 private:
  std::vector<std::byte>& Block(std::uint32_t number) {
    auto& block = blocks_[number];
    block.resize(kBlockSize);
    return block;
  }

  std::map<std::uint32_t, std::vector<std::byte>> blocks_;
  std::vector<std::uint32_t> unreadable_;
};

std::map<std::uint32_t, std::uint8_t> Marks(const CraftedJournal& journal, const JournalReplay& replay) {
  std::map<std::uint32_t, std::uint8_t> marks;
  for (const auto& [block, copy] : replay.copies) marks[block] = journal.MarkOf(copy);
  return marks;
}

TEST(JournalReplay, CommittedTransactionsAreTakenInOrderAndATornLastOneIsNot) {
  CraftedJournal journal;
  journal.Header(10, 5, kMountId);
  std::uint32_t next = journal.Transaction(5, 11, {2000, 2001}, 1);
  next = journal.Transaction(next, 12, {2001, 2002}, 2);
  journal.Transaction(next, 13, {2000, 2003}, 3);
  journal.CutCommit(next, 2);

  const JournalReplay replay = journal.Replay();
  EXPECT_TRUE(replay.headerRead);
  EXPECT_EQ(replay.transactions, 2u);
  EXPECT_EQ(Marks(journal, replay), (std::map<std::uint32_t, std::uint8_t>{{2000, 1}, {2001, 2}, {2002, 2}}));
  EXPECT_NE(replay.stoppedBecause.find("transaction 13"), std::string::npos) << replay.stoppedBecause;
}

TEST(JournalReplay, TransactionsAlreadyInPlaceOrNeverWrittenGiveNothing) {
  CraftedJournal journal;
  journal.Header(11, 5, kMountId);
  journal.Transaction(5, 11, {2000}, 1);  // the last flushed one: in place already
  JournalReplay replay = journal.Replay();
  EXPECT_EQ(replay.transactions, 0u);
  EXPECT_TRUE(replay.copies.empty());
  EXPECT_TRUE(replay.stoppedBecause.empty());

  CraftedJournal fresh;  // a header the file system never wrote
  fresh.Header(0, 0, 0);
  fresh.Transaction(0, 1, {2000}, 1, 0);
  replay = fresh.Replay();
  EXPECT_TRUE(replay.headerRead);
  EXPECT_EQ(replay.transactions, 0u);
}

TEST(JournalReplay, ATransactionWrapsAroundTheJournalArea) {
  CraftedJournal journal;
  journal.Header(20, kSize - 2, kMountId);
  // Descriptor at offset 62, copies at 63, 0 and 1, commit at 2; then one more at 3.
  const std::uint32_t next = journal.Transaction(kSize - 2, 21, {3000, 3001, 3002}, 9);
  EXPECT_EQ(next, 3u);
  journal.Transaction(next, 22, {3002}, 10);
  const JournalReplay replay = journal.Replay();
  EXPECT_EQ(replay.transactions, 2u);
  ASSERT_EQ(replay.copies.size(), 3u);
  EXPECT_EQ(replay.copies[0], (std::pair<std::uint32_t, std::uint32_t>{3000, kFirst + kSize - 1}));
  EXPECT_EQ(replay.copies[1], (std::pair<std::uint32_t, std::uint32_t>{3001, kFirst}));
  EXPECT_EQ(replay.copies[2], (std::pair<std::uint32_t, std::uint32_t>{3002, kFirst + 4}));
}

TEST(JournalReplay, ATransactionOfAnotherMountEndsTheReplay) {
  CraftedJournal journal;
  journal.Header(10, 0, kMountId);
  const std::uint32_t next = journal.Transaction(0, 11, {2000}, 1);
  journal.Transaction(next, 12, {2001}, 2, kMountId - 1);
  const JournalReplay replay = journal.Replay();
  EXPECT_EQ(replay.transactions, 1u);
  EXPECT_EQ(Marks(journal, replay), (std::map<std::uint32_t, std::uint8_t>{{2000, 1}}));
  EXPECT_NE(replay.stoppedBecause.find("another mount"), std::string::npos);
}

TEST(JournalReplay, ATransactionLoggingABlockItMayNotLogIsNotTaken) {
  // Beyond the volume, in the boot area, inside the journal area, its header.
  for (const std::uint32_t bad : {4096u, 0xFFFFFFFFu, 0u, 63u, kFirst, kFirst + kSize - 1, kFirst + kSize}) {
    CraftedJournal journal;
    const std::uint32_t next = journal.Transaction(0, 11, {2000}, 1);
    journal.Transaction(next, 12, {2001, bad}, 2);
    const JournalReplay replay = journal.Replay();
    EXPECT_EQ(replay.transactions, 1u) << bad;
    EXPECT_EQ(Marks(journal, replay), (std::map<std::uint32_t, std::uint8_t>{{2000, 1}})) << bad;
  }
}

TEST(JournalReplay, LengthsAndOffsetsAreBoundedByTheJournal) {
  {
    CraftedJournal journal;  // a length of 0
    journal.Transaction(0, 11, {}, 1);
    EXPECT_EQ(journal.Replay().transactions, 0u);
  }
  {
    CraftedJournal journal;  // longer than the area can hold with its descriptor and commit
    std::vector<std::uint32_t> many;
    for (std::uint32_t b = 0; b < kSize - 1; ++b) many.push_back(2000 + b);
    journal.Transaction(0, 11, many, 1);
    EXPECT_EQ(journal.Replay().transactions, 0u);
    many.resize(kSize - 2);  // exactly the whole area
    CraftedJournal whole;
    whole.Transaction(0, 11, many, 1);
    EXPECT_EQ(whole.Replay().transactions, 1u);
  }
  {
    CraftedJournal journal;  // longer than the superblock's bound
    journal.Transaction(0, 11, {2000, 2001, 2002}, 1);
    EXPECT_EQ(journal.Replay({kFirst, kSize, 2, 0}).transactions, 0u);
    EXPECT_EQ(journal.Replay({kFirst, kSize, 3, 0}).transactions, 1u);
  }
  {
    CraftedJournal journal;  // a header pointing outside the area
    journal.Header(10, kSize, kMountId);
    const JournalReplay replay = journal.Replay();
    EXPECT_EQ(replay.transactions, 0u);
    EXPECT_FALSE(replay.stoppedBecause.empty());
  }
  {
    CraftedJournal journal;  // an area that does not fit the volume, or too small to use
    journal.Transaction(0, 11, {2000}, 1);
    EXPECT_FALSE(journal.Replay({4000, 200, 0, 0}).headerRead);
    EXPECT_FALSE(journal.Replay({kFirst, 2, 0, 0}).headerRead);
    EXPECT_FALSE(journal.Replay({0xFFFFFFF0u, 0x20, 0, 0}).headerRead);
  }
  {
    CraftedJournal journal;  // unreadable header, unreadable commit
    journal.Transaction(0, 11, {2000}, 1);
    journal.Unreadable(CraftedJournal::At(2));
    const JournalReplay replay = journal.Replay();
    EXPECT_EQ(replay.transactions, 0u);
    EXPECT_NE(replay.stoppedBecause.find("could not be read"), std::string::npos);
    journal.Unreadable(kFirst + kSize);
    EXPECT_FALSE(journal.Replay().headerRead);
  }
}

TEST(JournalReplay, FullJournalsEndAfterOneLapAndIdsMustRise) {
  CraftedJournal journal;
  // Transactions of 2 blocks (4 journal blocks each) fill the area exactly, ids rising, so
  // the walk comes back to where it began: it must stop there.
  std::uint32_t offset = 0;
  for (std::uint32_t t = 0; t < kSize / 4; ++t) offset = journal.Transaction(offset, 11 + t, {2000 + t, 3000}, 1);
  JournalReplay replay = journal.Replay();
  EXPECT_EQ(replay.transactions, kSize / 4);
  // An id that does not rise ends the walk quietly: that is the log's old tail.
  CraftedJournal stale;
  const std::uint32_t next = stale.Transaction(0, 11, {2000}, 1);
  stale.Transaction(next, 11, {2001}, 2);
  replay = stale.Replay();
  EXPECT_EQ(replay.transactions, 1u);
  EXPECT_TRUE(replay.stoppedBecause.empty());
}

TEST(JournalRecords, BlockNumbersContinueFromTheDescriptorIntoTheCommit) {
  EXPECT_EQ(BlockNumbersPerDescriptor(4096), 1018u);
  EXPECT_EQ(BlockNumbersPerDescriptor(1024), 250u);
  EXPECT_EQ(BlockNumbersPerDescriptor(16), 0u);
  EXPECT_EQ(MostLoggedBlocks(4096), 2036u);
  std::vector<std::byte> descriptor(1024), commit(1024);
  WriteLittleEndian(MutableByteSpan(descriptor), 12 + 4 * 249, std::uint32_t{77});
  WriteLittleEndian(MutableByteSpan(commit), 8, std::uint32_t{78});
  WriteLittleEndian(MutableByteSpan(commit), 8 + 4 * 249, std::uint32_t{79});
  EXPECT_EQ(LoggedBlockNumber(descriptor, commit, 249), 77u);
  EXPECT_EQ(LoggedBlockNumber(descriptor, commit, 250), 78u);
  EXPECT_EQ(LoggedBlockNumber(descriptor, commit, 499), 79u);
  EXPECT_FALSE(LoggedBlockNumber(descriptor, commit, 500));
  EXPECT_FALSE(LoggedBlockNumber(descriptor, std::span(commit).first(512), 0));
  // The magic sits 12 bytes before the end; elsewhere it does not make a descriptor.
  EXPECT_FALSE(JournalDescriptor::Decode(descriptor));
  std::memcpy(descriptor.data() + 1024 - 12, "ReIsErLB", 8);
  EXPECT_TRUE(JournalDescriptor::Decode(descriptor));
  EXPECT_FALSE(JournalDescriptor::Decode(std::span(descriptor).first(20)));
  EXPECT_FALSE(JournalHeader::Decode(std::span(descriptor).first(11)));
  EXPECT_FALSE(JournalCommit::Decode(std::span(descriptor).first(7)));
}

}  // namespace
}  // namespace vantrel::test
