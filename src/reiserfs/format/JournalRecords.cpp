#include "reiserfs/format/JournalRecords.h"

#include <string_view>

#include "base/ByteCursor.h"

namespace vantrel {

namespace {

constexpr std::string_view kDescriptorMagic = "ReIsErLB";
// The magic lies this many bytes before the end of a descriptor block.
constexpr std::size_t kMagicFromEnd = 12;
constexpr std::size_t kDescriptorFields = 12;  // transaction id, length, mount id
constexpr std::size_t kCommitFields = 8;       // transaction id, length

bool HasDescriptorMagic(ByteSpan block) {
  if (block.size() < kDescriptorFields + kMagicFromEnd) return false;
  return ByteReader(block.subspan(block.size() - kMagicFromEnd)).LooksAt(kDescriptorMagic);
}

}  // namespace

std::optional<JournalHeader> JournalHeader::Decode(ByteSpan block) {
  if (block.size() < 12) return std::nullopt;
  return JournalHeader{ReadU32(block, 0), ReadU32(block, 4), ReadU32(block, 8)};
}

std::optional<JournalDescriptor> JournalDescriptor::Decode(ByteSpan block) {
  if (!HasDescriptorMagic(block)) return std::nullopt;
  return JournalDescriptor{ReadU32(block, 0), ReadU32(block, 4), ReadU32(block, 8)};
}

std::optional<JournalCommit> JournalCommit::Decode(ByteSpan block) {
  if (block.size() < kCommitFields) return std::nullopt;
  return JournalCommit{ReadU32(block, 0), ReadU32(block, 4)};
}

std::uint32_t BlockNumbersPerDescriptor(std::size_t blockSize) {
  if (blockSize < kDescriptorFields + kMagicFromEnd) return 0;
  return static_cast<std::uint32_t>((blockSize - kDescriptorFields - kMagicFromEnd) / 4);
}

std::uint32_t MostLoggedBlocks(std::size_t blockSize) {
  // The commit block holds as many numbers as the descriptor: its two fields and its
  // unused tail take the place of the descriptor's three fields and its magic.
  return 2 * BlockNumbersPerDescriptor(blockSize);
}

std::optional<std::uint32_t> LoggedBlockNumber(ByteSpan descriptor, ByteSpan commit, std::uint32_t index) {
  if (descriptor.size() != commit.size()) return std::nullopt;
  const std::uint32_t half = BlockNumbersPerDescriptor(descriptor.size());
  if (index < half) return ReadU32(descriptor, kDescriptorFields + std::size_t{4} * index);
  if (index < 2 * half) return ReadU32(commit, kCommitFields + std::size_t{4} * (index - half));
  return std::nullopt;
}

}  // namespace vantrel
