#include "reiserfs/format/JournalReplay.h"

#include <algorithm>
#include <map>

#include "reiserfs/format/JournalRecords.h"

namespace vantrel {

namespace {

// The file system's own bound on a transaction when its superblock gives none.
constexpr std::uint32_t kDefaultMaxTransaction = 1024;
// Every block below the superblock's is the volume's boot area, never logged.
constexpr std::uint64_t kBootAreaBytes = 65536;

class JournalWalk {
 public:
  JournalWalk(const JournalArea& area, const JournalVolume& volume, const JournalBlockRead& read)
      : area_(area), volume_(volume), read_(read), descriptor_(volume.blockSize), commit_(volume.blockSize) {}

  JournalReplay Run() {
    if (!AreaUsable()) return Stop("the journal area does not fit its device");
    std::vector<std::byte> headerBlock(volume_.blockSize);
    if (!read_(static_cast<std::uint32_t>(area_.HeaderBlock()), headerBlock))
      return Stop("the journal header could not be read");
    const auto header = JournalHeader::Decode(headerBlock);
    if (!header) return Stop("the journal header could not be read");
    result_.headerRead = true;
    if (header->NeverWritten()) return Finish();
    if (header->firstUnflushedOffset >= area_.size) return Stop("the journal header points outside the journal");
    mountId_ = header->mountId;
    lastTransId_ = header->lastFlushedTransId;
    std::uint32_t offset = header->firstUnflushedOffset;
    std::uint64_t walked = 0;
    while (walked < area_.size) {
      const auto length = TakeTransaction(offset, area_.size - walked);
      if (!length) break;
      walked += *length + 2;
      offset = static_cast<std::uint32_t>((std::uint64_t{offset} + *length + 2) % area_.size);
    }
    return Finish();
  }

 private:
  bool AreaUsable() const {
    if (volume_.blockSize < 512 || area_.size < 3) return false;
    if (MostLoggedBlocks(volume_.blockSize) == 0) return false;
    // On the volume's own device the area and its header lie inside the volume.
    return !area_.OnOwnDevice() || area_.HeaderBlock() < volume_.blockCount;
  }

  std::uint32_t JournalBlock(std::uint64_t offset) const {
    return static_cast<std::uint32_t>(area_.firstBlock + offset % area_.size);
  }

  std::uint32_t LongestTransaction(std::uint64_t room) const {
    const std::uint32_t said = area_.maxTransaction != 0 ? area_.maxTransaction : kDefaultMaxTransaction;
    std::uint64_t most = std::min<std::uint64_t>(said, MostLoggedBlocks(volume_.blockSize));
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(most, room >= 2 ? room - 2 : 0));
  }

  bool Loggable(std::uint32_t block) const {
    if (block >= volume_.blockCount) return false;
    if (std::uint64_t{block} * volume_.blockSize < kBootAreaBytes) return false;
    return !area_.OnOwnDevice() || block < area_.firstBlock || block > area_.HeaderBlock();
  }

  // The transaction whose descriptor lies at offset, taken into the copies when it is whole
  // and sound; its length, or nothing when the walk ends here.
  std::optional<std::uint32_t> TakeTransaction(std::uint32_t offset, std::uint64_t room) {
    if (!read_(JournalBlock(offset), descriptor_)) return Fail("a descriptor block could not be read");
    const auto descriptor = JournalDescriptor::Decode(descriptor_);
    if (!descriptor || descriptor->transId <= lastTransId_) return std::nullopt;  // the end of the log
    const std::string which = "transaction " + std::to_string(descriptor->transId);
    if (descriptor->mountId != mountId_) return Fail(which + " belongs to another mount");
    const std::uint32_t length = descriptor->length;
    if (length == 0 || length > LongestTransaction(room)) return Fail(which + " claims a length it cannot have");
    if (!read_(JournalBlock(std::uint64_t{offset} + length + 1), commit_))
      return Fail("the commit block of " + which + " could not be read");
    const auto commit = JournalCommit::Decode(commit_);
    if (!commit || commit->transId != descriptor->transId || commit->length != length)
      return Fail(which + " has no commit block (it was cut)");
    std::vector<std::pair<std::uint32_t, std::uint32_t>> logged;
    logged.reserve(length);
    for (std::uint32_t i = 0; i < length; ++i) {
      const auto block = LoggedBlockNumber(descriptor_, commit_, i);
      if (!block || !Loggable(*block)) return Fail(which + " logs a block outside what it may log");
      logged.emplace_back(*block, JournalBlock(std::uint64_t{offset} + 1 + i));
    }
    for (const auto& [block, copy] : logged) newest_[block] = copy;
    ++result_.transactions;
    lastTransId_ = descriptor->transId;
    return length;
  }

  std::optional<std::uint32_t> Fail(std::string why) {
    result_.stoppedBecause = std::move(why);
    return std::nullopt;
  }

  JournalReplay Stop(std::string why) {
    result_.stoppedBecause = std::move(why);
    return Finish();
  }

  JournalReplay Finish() {
    result_.copies.assign(newest_.begin(), newest_.end());
    return std::move(result_);
  }

  const JournalArea& area_;
  const JournalVolume& volume_;
  const JournalBlockRead& read_;
  std::vector<std::byte> descriptor_;
  std::vector<std::byte> commit_;
  std::uint32_t mountId_ = 0;
  std::uint32_t lastTransId_ = 0;
  std::map<std::uint32_t, std::uint32_t> newest_;
  JournalReplay result_;
};

}  // namespace

JournalArea JournalArea::Of(const ReiserSuperblock& superblock) {
  return {.firstBlock = superblock.journal[0],
          .size = superblock.journal[2],
          .maxTransaction = superblock.journal[3],
          .device = superblock.journal[1]};
}

JournalReplay ReplayJournal(const JournalArea& area, const JournalVolume& volume, const JournalBlockRead& read) {
  return JournalWalk(area, volume, read).Run();
}

}  // namespace vantrel
