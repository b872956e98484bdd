#include "support/CraftedPartition.h"

#include <algorithm>
#include <cstring>

#include "base/LittleEndian.h"
#include "disk/SectorReader.h"

namespace vantrel::test {

CraftedPartition::CraftedPartition(TestWizard& wizard, std::uint32_t blockSize, std::uint32_t blockCount)
    : wizard_(wizard),
      blockSize_(blockSize),
      blockCount_(blockCount),
      disk_(wizard.UseMemoryDisk(std::size_t{blockSize} * blockCount / kSectorSize)) {}

std::span<std::byte> CraftedPartition::Block(std::uint32_t block) {
  return {disk_.Sector(std::uint64_t{block} * blockSize_ / kSectorSize).data(), blockSize_};
}

void CraftedPartition::WriteSuperblock(std::uint32_t rootBlock, std::uint32_t blockCountOverride) {
  const auto sector = disk_.Sector(128);
  std::fill(sector.begin(), sector.end(), std::byte{0});
  WriteLittleEndian<std::uint32_t>(sector, 0, blockCountOverride ? blockCountOverride : blockCount_);
  WriteLittleEndian<std::uint32_t>(sector, 8, rootBlock);
  WriteLittleEndian<std::uint16_t>(sector, 44, static_cast<std::uint16_t>(blockSize_));
  const char magic[] = "ReIsEr2Fs";
  std::memcpy(sector.data() + 52, magic, sizeof magic);
  wizard_.state.currentPartition = {0, std::uint64_t{blockCount_} * blockSize_ / kSectorSize, 0};
}

void CraftedPartition::EncodeKey(std::span<std::byte> out, const TreeKey& key, std::uint16_t version) {
  WriteLittleEndian<std::uint32_t>(out, 0, key.dirId);
  WriteLittleEndian<std::uint32_t>(out, 4, key.objectId);
  WriteLittleEndian<std::uint32_t>(out, 8, key.offset);
  const std::uint32_t last = version == kKeyVersion35 ? key.type : (key.type << 28) | (key.offsetHigh & 0x0FFFFFFF);
  WriteLittleEndian<std::uint32_t>(out, 12, last);
}

void CraftedPartition::WriteLeaf(std::uint32_t block, const std::vector<CraftedItem>& items) {
  const auto bytes = Block(block);
  std::fill(bytes.begin(), bytes.end(), std::byte{0});
  WriteLittleEndian<std::uint16_t>(bytes, 0, 1);
  WriteLittleEndian<std::uint16_t>(bytes, 2, static_cast<std::uint16_t>(items.size()));
  // Bodies are packed from the end of the block, as the file system does.
  std::size_t end = blockSize_;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const auto& item = items[i];
    end -= item.body.size();
    std::copy(item.body.begin(), item.body.end(), bytes.begin() + static_cast<std::ptrdiff_t>(end));
    const auto header = bytes.subspan(ItemHeaderOffset(i), 24);
    EncodeKey(header.first(16), item.key, item.version);
    WriteLittleEndian<std::uint16_t>(header, 18, static_cast<std::uint16_t>(item.body.size()));
    WriteLittleEndian<std::uint16_t>(header, 20, static_cast<std::uint16_t>(end));
    WriteLittleEndian<std::uint16_t>(header, 22, item.version);
  }
}

void CraftedPartition::WriteInternal(std::uint32_t block, std::uint16_t level, const std::vector<TreeKey>& keys,
                                     const std::vector<std::uint32_t>& children) {
  const auto bytes = Block(block);
  std::fill(bytes.begin(), bytes.end(), std::byte{0});
  WriteLittleEndian<std::uint16_t>(bytes, 0, level);
  WriteLittleEndian<std::uint16_t>(bytes, 2, static_cast<std::uint16_t>(keys.size()));
  for (std::size_t i = 0; i < keys.size(); ++i) EncodeKey(bytes.subspan(24 + 16 * i, 16), keys[i], kKeyVersion36);
  for (std::size_t i = 0; i < children.size(); ++i)
    WriteLittleEndian<std::uint32_t>(bytes, 24 + 16 * keys.size() + 8 * i, children[i]);
}

std::vector<std::byte> CraftedPartition::StatData36(std::uint16_t mode, std::uint64_t size, std::uint32_t mtime) {
  std::vector<std::byte> body(44);
  WriteLittleEndian<std::uint16_t>(body, 0, mode);
  WriteLittleEndian<std::uint64_t>(body, 8, size);
  WriteLittleEndian<std::uint32_t>(body, 28, mtime);
  return body;
}

std::vector<std::byte> CraftedPartition::StatData35(std::uint16_t mode, std::uint32_t size, std::uint32_t mtime) {
  std::vector<std::byte> body(32);
  WriteLittleEndian<std::uint16_t>(body, 0, mode);
  WriteLittleEndian<std::uint32_t>(body, 8, size);
  WriteLittleEndian<std::uint32_t>(body, 16, mtime);
  return body;
}

std::vector<std::byte> CraftedPartition::Directory(std::uint32_t dirId, std::uint32_t objectId,
                                                   std::uint32_t parentDirId, const std::vector<CraftedEntry>& entries) {
  std::vector<CraftedEntry> all{{dirId, objectId, "."}, {parentDirId, dirId, ".."}};
  all.insert(all.end(), entries.begin(), entries.end());
  // Names padded to 8 bytes, as the 3.6 format writes them.
  const auto padded = [](const std::string& name) { return (name.size() + 7) / 8 * 8; };
  std::size_t length = 16 * all.size();
  for (const auto& entry : all) length += padded(entry.name);
  std::vector<std::byte> body(length);
  std::size_t end = length;
  for (std::size_t i = 0; i < all.size(); ++i) {
    end -= padded(all[i].name);
    std::memcpy(body.data() + end, all[i].name.data(), all[i].name.size());
    WriteLittleEndian<std::uint32_t>(body, 16 * i + 4, all[i].dirId);
    WriteLittleEndian<std::uint32_t>(body, 16 * i + 8, all[i].objectId);
    WriteLittleEndian<std::uint16_t>(body, 16 * i + 12, static_cast<std::uint16_t>(end));
  }
  return body;
}

}  // namespace vantrel::test
