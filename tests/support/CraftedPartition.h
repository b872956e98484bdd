#pragma once
// A small ReiserFS partition written by hand into a memory disk, for damaged trees that no
// kernel makes: a superblock, leaves with stat data, directory and body items, internal
// nodes, and raw access to every block for the damage.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "reiserfs/format/TreeKey.h"
#include "support/TestWizard.h"

namespace vantrel::test {

struct CraftedItem {
  TreeKey key;
  std::uint16_t version = kKeyVersion36;
  std::vector<std::byte> body;
};

struct CraftedEntry {
  std::uint32_t dirId;
  std::uint32_t objectId;
  std::string name;
};

class CraftedPartition {
 public:
  // A partition at sector 0 of a new memory disk; the superblock lies in block
  // 65536 / blockSize, so tree blocks are best placed above it.
  CraftedPartition(TestWizard& wizard, std::uint32_t blockSize = 4096, std::uint32_t blockCount = 64);

  // Writes the superblock and makes the partition current.
  void WriteSuperblock(std::uint32_t rootBlock, std::uint32_t blockCountOverride = 0);

  void WriteLeaf(std::uint32_t block, const std::vector<CraftedItem>& items);
  void WriteInternal(std::uint32_t block, std::uint16_t level, const std::vector<TreeKey>& keys,
                     const std::vector<std::uint32_t>& children);
  std::span<std::byte> Block(std::uint32_t block);
  // Byte offset of item header i within a leaf.
  static std::size_t ItemHeaderOffset(std::size_t i) { return 24 + 24 * i; }

  static std::vector<std::byte> StatData36(std::uint16_t mode, std::uint64_t size, std::uint32_t mtime);
  static std::vector<std::byte> StatData35(std::uint16_t mode, std::uint32_t size, std::uint32_t mtime);
  // A directory item body with "." and ".." of the folder first, then the entries.
  static std::vector<std::byte> Directory(std::uint32_t dirId, std::uint32_t objectId, std::uint32_t parentDirId,
                                          const std::vector<CraftedEntry>& entries);
  // Raw key bytes: the 3.6 layout puts the type in the top 4 bits; the 3.5 layout writes
  // the type as the uniqueness.
  static void EncodeKey(std::span<std::byte> out, const TreeKey& key, std::uint16_t version);

  MemoryDiskSource& Disk() { return disk_; }
  std::uint32_t BlockSize() const { return blockSize_; }

 private:
  TestWizard& wizard_;
  std::uint32_t blockSize_;
  std::uint32_t blockCount_;
  MemoryDiskSource& disk_;
};

inline constexpr std::uint16_t kFolderMode = 040755;
inline constexpr std::uint16_t kFileMode = 0100644;

}  // namespace vantrel::test
