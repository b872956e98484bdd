// libFuzzer target: a journal area read in memory. The input's first four bytes choose the
// block size (512 << (b0 % 4)), the area's size in blocks (b1), the superblock's bound on a
// transaction (b2) and the volume's size (134 + b3 * 64 blocks); the rest is the journal
// header block followed by the area's blocks (zeros beyond the input). The walk may only
// read the area and its header, and every copy it hands out must be one it may log.

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "reiserfs/format/JournalRecords.h"
#include "reiserfs/format/JournalReplay.h"

using namespace vantrel;

namespace {

constexpr std::uint32_t kFirstBlock = 70;  // past the first 64 KiB at every block size
constexpr std::size_t kPrefix = 4;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kPrefix) return 0;
  const std::uint32_t blockSize = 512u << (data[0] % 4);
  const JournalArea area{.firstBlock = kFirstBlock, .size = data[1], .maxTransaction = data[2], .device = 0};
  const std::uint32_t volumeBlocks = kFirstBlock + 64 + data[3] * 64u;
  const ByteSpan journal(reinterpret_cast<const std::byte*>(data + kPrefix), size - kPrefix);

  std::uint32_t reads = 0;
  const JournalBlockRead read = [&](std::uint32_t block, MutableByteSpan into) {
    if (into.size() != blockSize || block < kFirstBlock || block > area.HeaderBlock()) std::abort();
    if (++reads > 3u * area.size + 2) std::abort();  // one lap: a descriptor and a commit a transaction
    // The header first, then the area's blocks in order.
    const std::size_t index = block == area.HeaderBlock() ? 0 : block - kFirstBlock + 1;
    std::fill(into.begin(), into.end(), std::byte{0});
    const std::size_t at = index * blockSize;
    if (at < journal.size())
      std::memcpy(into.data(), journal.data() + at, std::min<std::size_t>(blockSize, journal.size() - at));
    return data[0] < 0xF0;  // some inputs' reads fail
  };
  const JournalReplay replay = ReplayJournal(area, {blockSize, volumeBlocks}, read);

  if (replay.transactions > area.size / 3) std::abort();
  for (std::size_t i = 0; i < replay.copies.size(); ++i) {
    const auto [block, copy] = replay.copies[i];
    if (i > 0 && replay.copies[i - 1].first >= block) std::abort();  // ordered, one copy a block
    if (block >= volumeBlocks || std::uint64_t{block} * blockSize < 65536) std::abort();
    if (block >= kFirstBlock && block <= area.HeaderBlock()) std::abort();
    if (copy < kFirstBlock || copy >= area.HeaderBlock()) std::abort();
  }
  if (replay.transactions == 0 && !replay.copies.empty()) std::abort();

  // The records alone, on the input's first blocks.
  if (journal.size() >= 2 * std::size_t{blockSize}) {
    const ByteSpan descriptor = journal.first(blockSize);
    const ByteSpan commit = journal.subspan(blockSize, blockSize);
    (void)JournalHeader::Decode(descriptor);
    (void)JournalCommit::Decode(commit);
    if (const auto decoded = JournalDescriptor::Decode(descriptor)) {
      const std::uint32_t most = MostLoggedBlocks(blockSize);
      for (std::uint32_t i = 0; i < std::min(decoded->length, most + 1); ++i)
        if (LoggedBlockNumber(descriptor, commit, i).has_value() != (i < most)) std::abort();
    }
  }
  return 0;
}
