#include "reiserfs/format/ReiserSuperblock.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "reiserfs/format/TreeNode.h"

namespace vantrel {

namespace {

constexpr std::size_t kMagicOffset = 52;
constexpr std::size_t kMagicField = 10;

bool EqualIgnoringCase(ByteSpan bytes, std::string_view text) {
  if (bytes.size() != text.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto a = std::to_integer<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(text[i]);
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    if (lower(a) != lower(b)) return false;
  }
  return true;
}

// One sector at the given absolute sector, read into a cleared buffer.
std::array<std::byte, kSectorSize> ReadOneSector(const DiskReader& disk, std::uint64_t sector) {
  std::array<std::byte, kSectorSize> buffer{};
  disk.ReadSectors(sector, 1, buffer);
  return buffer;
}

}  // namespace

std::optional<ReiserSuperblock> ReiserSuperblock::Decode(ByteSpan bytes) {
  if (bytes.size() < kSuperblockSize) return std::nullopt;
  ReiserSuperblock sb;
  sb.blockCount = ReadU32(bytes, 0);
  sb.freeBlockCount = ReadU32(bytes, 4);
  sb.rootBlock = ReadU32(bytes, 8);
  for (std::size_t i = 0; i < sb.journal.size(); ++i) sb.journal[i] = ReadU32(bytes, 12 + 4 * i);
  sb.blockSize = ReadU16(bytes, 44);
  sb.objectIdMapMaxSize = ReadU16(bytes, 46);
  sb.objectIdMapCurrentSize = ReadU16(bytes, 48);
  sb.unmountState = ReadU16(bytes, 50);
  std::copy_n(bytes.begin() + kMagicOffset, kMagicField, sb.magic.begin());
  sb.fileSystemState = ReadU16(bytes, 62);
  sb.hashFunctionCode = ReadU32(bytes, 64);
  sb.treeHeight = ReadU16(bytes, 68);
  sb.bitmapBlockCount = ReadU16(bytes, 70);
  sb.formatVersion = ReadU16(bytes, 72);
  sb.journalReservedBlocks = ReadU16(bytes, 74);
  sb.inodeGeneration = ReadU32(bytes, 76);
  std::copy_n(bytes.begin() + 80, sb.tail.size(), sb.tail.begin());
  return sb;
}

std::array<std::byte, kSuperblockSize> ReiserSuperblock::Encode() const {
  std::array<std::byte, kSuperblockSize> bytes{};
  const MutableByteSpan out(bytes);
  WriteLittleEndian(out, 0, blockCount);
  WriteLittleEndian(out, 4, freeBlockCount);
  WriteLittleEndian(out, 8, rootBlock);
  for (std::size_t i = 0; i < journal.size(); ++i) WriteLittleEndian(out, 12 + 4 * i, journal[i]);
  WriteLittleEndian(out, 44, blockSize);
  WriteLittleEndian(out, 46, objectIdMapMaxSize);
  WriteLittleEndian(out, 48, objectIdMapCurrentSize);
  WriteLittleEndian(out, 50, unmountState);
  std::copy(magic.begin(), magic.end(), bytes.begin() + kMagicOffset);
  WriteLittleEndian(out, 62, fileSystemState);
  WriteLittleEndian(out, 64, hashFunctionCode);
  WriteLittleEndian(out, 68, treeHeight);
  WriteLittleEndian(out, 70, bitmapBlockCount);
  WriteLittleEndian(out, 72, formatVersion);
  WriteLittleEndian(out, 74, journalReservedBlocks);
  WriteLittleEndian(out, 76, inodeGeneration);
  std::copy(tail.begin(), tail.end(), bytes.begin() + 80);
  return bytes;
}

bool ReiserSuperblock::IsPlausible() const {
  if (blockCount == 0 || blockSize == 0 || rootBlock == 0) return false;
  const std::uint32_t perBlock = SectorsPerBlock();
  return perBlock == 2 || perBlock == 4 || perBlock == 8;
}

bool HasReiserMagic(ByteSpan sector) {
  if (sector.size() < kMagicOffset + kMagicField) return false;
  const ByteSpan field = sector.subspan(kMagicOffset, kMagicField);
  const auto nul = std::find(field.begin(), field.end(), std::byte{0});
  if (nul == field.end()) return false;  // the text must end within its field
  const ByteSpan text = field.first(static_cast<std::size_t>(nul - field.begin()));
  // "ReIsEr3Fs" is a 3.6 volume whose journal is not the standard one (another size, or
  // on another device).
  return EqualIgnoringCase(text, "ReIsErFs") || EqualIgnoringCase(text, "ReIsEr2Fs") ||
         EqualIgnoringCase(text, "ReIsEr3Fs");
}

bool IsReiserSuperblock(const DiskReader& disk, std::uint64_t start) {
  return HasReiserMagic(ReadOneSector(disk, start + kSuperblockSectorOffset));
}

std::optional<ReiserSuperblock> ReadSuperblock(const DiskReader& disk, std::uint64_t start) {
  const auto sector = ReadOneSector(disk, start + kSuperblockSectorOffset);
  if (!HasReiserMagic(sector)) return std::nullopt;
  return ReiserSuperblock::Decode(sector);
}

bool HasPlausibleRootNode(const DiskReader& disk, std::uint64_t start, const ReiserSuperblock& superblock) {
  // 64-bit, so that a partition beyond the first 2^32 sectors is read at the right place.
  const std::uint64_t rootSector =
      start + std::uint64_t{superblock.rootBlock} * superblock.SectorsPerBlock();
  const std::uint16_t level = ReadU16(ReadOneSector(disk, rootSector), 0);
  return level >= kLeafLevel && level <= kHighestNodeLevel;
}

bool IsReiserPartition(const DiskReader& disk, std::uint64_t start) {
  const auto superblock = ReadSuperblock(disk, start);
  if (!superblock || !superblock->IsPlausible()) return false;
  if (start < 65) return false;
  return HasPlausibleRootNode(disk, start, *superblock);
}

}  // namespace vantrel
