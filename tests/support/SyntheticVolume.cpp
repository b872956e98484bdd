#include "support/SyntheticVolume.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "base/LittleEndian.h"
#include "reiserfs/format/ReiserSuperblock.h"
#include "reiserfs/format/TreeKey.h"
#include "support/SparseImage.h"

namespace vantrel::test {

namespace {

constexpr std::uint32_t kBlockSize = 4096;
constexpr std::uint32_t kBlockHeadSize = 24;
constexpr std::uint32_t kItemHeadSize = 24;
constexpr std::uint32_t kEntryHeadSize = 16;
constexpr std::uint32_t kStatDataSize = 44;
constexpr std::uint32_t kBitsPerBitmap = kBlockSize * 8;
constexpr std::uint32_t kJournalFirst = 18;
constexpr std::uint32_t kJournalSize = 8192;  // and one header block after it
constexpr std::uint32_t kFirstTreeBlock = kJournalFirst + kJournalSize + 1;
constexpr std::uint32_t kMaxHeight = 5;
constexpr std::uint32_t kMaxTail = 160;
constexpr std::uint32_t kBaseTime = 1600000000;
constexpr std::uint16_t kFolderMode = 040755;
constexpr std::uint16_t kFileMode = 0100644;
constexpr std::uint16_t kVisibleEntry = 4;
constexpr std::uint32_t kDirectoryUniqueness = 500;

std::uint64_t Mix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

// The directory offset of a name: its r5 hash with the generation bits cleared.
std::uint32_t NameHash(std::string_view name) {
  std::uint32_t a = 0;
  for (const char c : name) {
    const auto s = static_cast<signed char>(c);
    a += static_cast<std::uint32_t>(s) << 4;
    a += static_cast<std::uint32_t>(s >> 4);
    a *= 11;
  }
  a &= 0x7FFFFF80u;
  return a == 0 ? 128 : a;
}

std::uint32_t Padded(std::size_t length) { return static_cast<std::uint32_t>((length + 7) / 8 * 8); }

using RawKey = std::array<std::byte, 16>;

RawKey Key36(std::uint32_t dirId, std::uint32_t objectId, std::uint32_t offset, std::uint32_t type) {
  RawKey key{};
  WriteLittleEndian<std::uint32_t>(key, 0, dirId);
  WriteLittleEndian<std::uint32_t>(key, 4, objectId);
  WriteLittleEndian<std::uint32_t>(key, 8, offset);
  WriteLittleEndian<std::uint32_t>(key, 12, type << 28);
  return key;
}

// Directory items keep the 3.5 key layout on 3.6 volumes, as the file system writes them.
RawKey DirectoryKey(std::uint32_t dirId, std::uint32_t objectId, std::uint32_t offset) {
  RawKey key = Key36(dirId, objectId, offset, 0);
  WriteLittleEndian<std::uint32_t>(key, 12, kDirectoryUniqueness);
  return key;
}

// Consecutive blocks are gathered and written in one piece.
class BlockWriter {
 public:
  BlockWriter(SparseImage& image, std::uint64_t partitionStart) : image_(image), base_(partitionStart * 512) {}
  ~BlockWriter() = default;

  void Write(std::uint32_t block, std::span<const std::byte> bytes) {
    if (!run_.empty() && (block != runStart_ + run_.size() / kBlockSize || run_.size() >= kRunBytes)) Flush();
    if (run_.empty()) runStart_ = block;
    run_.insert(run_.end(), bytes.begin(), bytes.end());
  }

  void Flush() {
    if (run_.empty()) return;
    image_.Write(base_ + std::uint64_t{runStart_} * kBlockSize, run_);
    run_.clear();
  }

 private:
  static constexpr std::size_t kRunBytes = std::size_t{1} << 20;
  SparseImage& image_;
  std::uint64_t base_;
  std::uint32_t runStart_ = 0;
  std::vector<std::byte> run_;
};

// A node of the tree as its parent refers to it.
struct ChildRef {
  RawKey firstKey;
  std::uint32_t block;
  std::uint16_t usedBytes;
};

class VolumeWriter {
 public:
  VolumeWriter(SparseImage& image, const SyntheticVolumeShape& shape,
               const std::function<void(const SyntheticObject&)>& onObject)
      : image_(image), shape_(shape), onObject_(onObject), blocks_(image, shape.partitionStart), leaf_(kBlockSize) {
    if (shape.objects >= 0xF0000000ull) throw std::runtime_error("too many objects for 32-bit ids");
    const std::uint64_t perFolder = std::uint64_t{shape.filesPerFolder} + 1;
    folders_ = static_cast<std::uint32_t>((shape.objects + perFolder - 1) / perFolder);
    files_ = shape.objects - folders_;
    top_ = std::max<std::uint32_t>(1, shape.topFolders);
    sub_ = std::max<std::uint32_t>(1, shape.subfoldersPerFolder);
    if (onObject_) folderPaths_.resize(folders_);
    StartLeaf();
  }

  SyntheticVolumeSummary Run() {
    summary_.folders = folders_;
    summary_.files = files_;
    summary_.partitionStart = shape_.partitionStart;
    EmitFolderObject(1, kRootFolderId, 0, 1, FolderRange(kRootFolderId), FilesOf(kRootFolderId), "");
    EmitChildren(kRootFolderId);
    for (std::uint32_t k = 0; k < folders_; ++k) EmitChildren(FolderId(k));
    FlushLeaf();
    const std::uint32_t root = BuildInternalLevels();
    blocks_.Flush();
    WriteSuperblockAndBitmaps(root);
    return summary_;
  }

 private:
  struct Range {
    std::uint64_t first = 0;
    std::uint64_t end = 0;
  };

  static constexpr std::uint32_t kRootFolderId = 2;

  std::uint32_t FolderId(std::uint64_t k) const { return static_cast<std::uint32_t>(k + 3); }
  std::uint32_t FileId(std::uint64_t i) const { return static_cast<std::uint32_t>(folders_ + 3 + i); }

  // The folder indices below a folder (given by object id).
  Range FolderRange(std::uint32_t folderId) const {
    const std::uint64_t first = folderId == kRootFolderId ? 0 : top_ + std::uint64_t{folderId - 3} * sub_;
    const std::uint64_t end = folderId == kRootFolderId ? top_ : first + sub_;
    return {std::min<std::uint64_t>(first, folders_), std::min<std::uint64_t>(end, folders_)};
  }

  Range FilesOf(std::uint32_t folderId) const {
    if (folderId == kRootFolderId) return {};
    const std::uint64_t first = std::uint64_t{folderId - 3} * shape_.filesPerFolder;
    return {std::min(first, files_), std::min(first + shape_.filesPerFolder, files_)};
  }

  std::uint32_t ParentOf(std::uint64_t k) const { return k < top_ ? kRootFolderId : FolderId((k - top_) / sub_); }

  static std::string FolderName(std::uint64_t k) {
    char name[32];
    std::snprintf(name, sizeof name, "box-%06llu", static_cast<unsigned long long>(k));
    return name;
  }

  static std::uint64_t FileSize(std::uint64_t i) {
    const std::uint64_t r = Mix(i);
    if (r % 10 == 0) return 1000 + (r >> 8) % (kBlockSize - 1000 + 1);  // one block of its own
    return (r >> 8) % (kMaxTail + 1);                                   // a tail, or nothing
  }

  static bool InOneBlock(std::uint64_t size) { return size > kMaxTail; }

  static std::string FileName(std::uint64_t i, std::uint64_t size) {
    char name[96];
    std::snprintf(name, sizeof name, "%llu.M%lluP%llu.synthetic,S=%llu,W=%llu:2,S",
                  static_cast<unsigned long long>(kBaseTime + i), static_cast<unsigned long long>(Mix(i) % 1000000),
                  static_cast<unsigned long long>(1000 + i % 30000), static_cast<unsigned long long>(size),
                  static_cast<unsigned long long>(size + size / 40));
    return name;
  }

  static std::uint32_t FileTime(std::uint64_t i) { return kBaseTime + static_cast<std::uint32_t>(i * 7 % 31536000); }
  static std::uint32_t FolderTime(std::uint64_t k) { return kBaseTime + static_cast<std::uint32_t>(k); }

  // ---- Blocks ----

  std::uint32_t AllocateBlock() {
    if (next_ % kBitsPerBitmap == 0) ++next_;  // a bitmap block lies there
    if (next_ == 0xFFFFFFFFu) throw std::runtime_error("the volume outgrew 32-bit block numbers");
    return next_++;
  }

  // ---- Leaves ----

  void StartLeaf() {
    std::fill(leaf_.begin(), leaf_.end(), std::byte{0});
    leafItems_ = 0;
    leafBodyStart_ = kBlockSize;
  }

  void FlushLeaf() {
    if (leafItems_ == 0) return;
    const std::uint32_t used = kBlockSize - (leafBodyStart_ - kBlockHeadSize - kItemHeadSize * leafItems_);
    WriteLittleEndian<std::uint16_t>(leaf_, 0, 1);
    WriteLittleEndian<std::uint16_t>(leaf_, 2, static_cast<std::uint16_t>(leafItems_));
    WriteLittleEndian<std::uint16_t>(leaf_, 4, static_cast<std::uint16_t>(kBlockSize - used));
    const std::uint32_t block = AllocateBlock();
    blocks_.Write(block, leaf_);
    ChildRef ref{};
    std::copy_n(leaf_.begin() + kBlockHeadSize, 16, ref.firstKey.begin());
    ref.block = block;
    ref.usedBytes = static_cast<std::uint16_t>(used - kBlockHeadSize);
    leaves_.push_back(ref);
    ++summary_.leaves;
    StartLeaf();
  }

  // The body bytes one more item can take in the leaf being filled.
  std::uint32_t LeafRoom() const {
    const std::uint32_t headersEnd = kBlockHeadSize + kItemHeadSize * (leafItems_ + 1);
    return leafBodyStart_ > headersEnd ? leafBodyStart_ - headersEnd : 0;
  }

  void AddItem(const RawKey& key, std::uint16_t version, std::uint16_t countOrFree, std::span<const std::byte> body) {
    const std::size_t headersEnd = kBlockHeadSize + kItemHeadSize * (leafItems_ + 1);
    if (headersEnd + body.size() > leafBodyStart_) {
      FlushLeaf();
      AddItem(key, version, countOrFree, body);
      return;
    }
    leafBodyStart_ -= static_cast<std::uint32_t>(body.size());
    std::copy(body.begin(), body.end(), leaf_.begin() + leafBodyStart_);
    const auto head = std::span(leaf_).subspan(kBlockHeadSize + kItemHeadSize * leafItems_, kItemHeadSize);
    std::copy(key.begin(), key.end(), head.begin());
    WriteLittleEndian<std::uint16_t>(head, 16, countOrFree);
    WriteLittleEndian<std::uint16_t>(head, 18, static_cast<std::uint16_t>(body.size()));
    WriteLittleEndian<std::uint16_t>(head, 20, static_cast<std::uint16_t>(leafBodyStart_));
    WriteLittleEndian<std::uint16_t>(head, 22, version);
    ++leafItems_;
  }

  void AddStatData(std::uint32_t dirId, std::uint32_t objectId, std::uint16_t mode, std::uint32_t links,
                   std::uint64_t size, std::uint32_t time, std::uint32_t blocks) {
    std::array<std::byte, kStatDataSize> body{};
    WriteLittleEndian<std::uint16_t>(body, 0, mode);
    WriteLittleEndian<std::uint32_t>(body, 4, links);
    WriteLittleEndian<std::uint64_t>(body, 8, size);
    WriteLittleEndian<std::uint32_t>(body, 24, time);
    WriteLittleEndian<std::uint32_t>(body, 28, time);
    WriteLittleEndian<std::uint32_t>(body, 32, time);
    WriteLittleEndian<std::uint32_t>(body, 36, blocks);
    AddItem(Key36(dirId, objectId, 0, kStatDataType), kKeyVersion36, 0xFFFF, body);
  }

  // ---- Objects ----

  struct Entry {
    std::uint32_t offset;
    std::uint32_t dirId;
    std::uint32_t objectId;
    std::string name;
  };

  // The entries of a folder: ".", "..", then its folders and files, in hash order.
  std::vector<Entry> EntriesOf(std::uint32_t dirId, std::uint32_t objectId, std::uint32_t parentDirId, Range folders,
                               Range files) const {
    std::vector<Entry> children;
    children.reserve(folders.end - folders.first + files.end - files.first);
    for (std::uint64_t k = folders.first; k < folders.end; ++k) {
      std::string name = FolderName(k);
      children.push_back({NameHash(name), objectId, FolderId(k), std::move(name)});
    }
    for (std::uint64_t i = files.first; i < files.end; ++i) {
      std::string name = FileName(i, FileSize(i));
      children.push_back({NameHash(name), objectId, FileId(i), std::move(name)});
    }
    std::stable_sort(children.begin(), children.end(),
                     [](const Entry& a, const Entry& b) { return a.offset < b.offset; });
    // Names of one hash are told apart by the generation number in the low bits.
    for (std::size_t j = 1; j < children.size(); ++j)
      if ((children[j].offset & ~0x7Fu) == (children[j - 1].offset & ~0x7Fu))
        children[j].offset = children[j - 1].offset + 1;
    std::vector<Entry> entries{{1, dirId, objectId, "."}, {2, parentDirId, dirId, ".."}};
    entries.insert(entries.end(), std::make_move_iterator(children.begin()), std::make_move_iterator(children.end()));
    return entries;
  }

  static std::uint64_t DirectoryBytes(const std::vector<Entry>& entries) {
    std::uint64_t bytes = 0;
    for (const Entry& entry : entries) bytes += kEntryHeadSize + Padded(entry.name.size());
    return bytes;
  }

  void AddDirectoryItems(std::uint32_t dirId, std::uint32_t objectId, const std::vector<Entry>& entries) {
    std::size_t first = 0;
    std::vector<std::byte> body;
    while (first < entries.size()) {
      // As many entries as the leaf has room for: two items of one folder side by side in
      // a leaf would be one item to the file system.
      const auto entryBytes = [&](std::size_t j) { return kEntryHeadSize + Padded(entries[j].name.size()); };
      if (LeafRoom() < entryBytes(first)) FlushLeaf();
      const std::uint32_t room = LeafRoom();
      std::size_t end = first;
      std::uint32_t bytes = 0;
      while (end < entries.size() && bytes + entryBytes(end) <= room) bytes += entryBytes(end++);
      body.assign(bytes, std::byte{0});
      std::uint32_t nameAt = bytes;
      for (std::size_t j = first; j < end; ++j) {
        const Entry& entry = entries[j];
        nameAt -= Padded(entry.name.size());
        std::memcpy(body.data() + nameAt, entry.name.data(), entry.name.size());
        const std::size_t at = kEntryHeadSize * (j - first);
        WriteLittleEndian<std::uint32_t>(body, at, entry.offset);
        WriteLittleEndian<std::uint32_t>(body, at + 4, entry.dirId);
        WriteLittleEndian<std::uint32_t>(body, at + 8, entry.objectId);
        WriteLittleEndian<std::uint16_t>(body, at + 12, static_cast<std::uint16_t>(nameAt));
        WriteLittleEndian<std::uint16_t>(body, at + 14, kVisibleEntry);
      }
      AddItem(DirectoryKey(dirId, objectId, entries[first].offset), kKeyVersion35,
              static_cast<std::uint16_t>(end - first), body);
      first = end;
    }
  }

  void EmitFolderObject(std::uint32_t dirId, std::uint32_t objectId, std::uint32_t parentDirId, std::uint32_t time,
                        Range folders, Range files, const std::string& path) {
    const auto entries = EntriesOf(dirId, objectId, parentDirId, folders, files);
    const std::uint64_t size = DirectoryBytes(entries);
    // Block counts in 512-byte sectors, as the checker works them out.
    AddStatData(dirId, objectId, kFolderMode, static_cast<std::uint32_t>(2 + folders.end - folders.first), size, time,
                static_cast<std::uint32_t>((size + 511) / 512));
    AddDirectoryItems(dirId, objectId, entries);
    if (onObject_ && objectId != kRootFolderId) onObject_({path, dirId, objectId, true, size, time});
  }

  void EmitFile(std::uint32_t folderId, std::uint64_t i, const std::string& folderPath) {
    const std::uint32_t objectId = FileId(i);
    const std::uint64_t size = FileSize(i);
    const std::uint32_t time = FileTime(i);
    const bool block = InOneBlock(size);
    AddStatData(folderId, objectId, kFileMode, 1, size, time, size > 0 ? kBlockSize / 512 : 0);
    if (block) {
      const std::uint32_t at = AllocateBlock();
      if (shape_.writeBlockBodies) {
        std::vector<std::byte> content(kBlockSize);
        for (std::uint64_t k = 0; k < size; ++k) content[k] = static_cast<std::byte>(SyntheticFileByte(objectId, k));
        blocks_.Write(at, content);
      }
      std::array<std::byte, 4> pointer{};
      WriteLittleEndian<std::uint32_t>(pointer, 0, at);
      AddItem(Key36(folderId, objectId, 1, kIndirectType), kKeyVersion36, 0, pointer);
      ++summary_.oneBlockFiles;
    } else if (size > 0) {
      std::array<std::byte, kMaxTail> tail{};
      for (std::uint64_t k = 0; k < size; ++k) tail[k] = static_cast<std::byte>(SyntheticFileByte(objectId, k));
      AddItem(Key36(folderId, objectId, 1, kDirectType), kKeyVersion36, 0xFFFF, std::span(tail).first(size));
      ++summary_.tailFiles;
    }
    if (onObject_) onObject_({folderPath + "/" + FileName(i, size), folderId, objectId, false, size, time});
  }

  // The objects whose directory id is this folder's object id: its folders, then its files.
  void EmitChildren(std::uint32_t folderId) {
    const Range folders = FolderRange(folderId);
    const std::string& path = folderPaths_.empty() || folderId == kRootFolderId ? empty_ : folderPaths_[folderId - 3];
    for (std::uint64_t k = folders.first; k < folders.end; ++k) EmitFolder(k, folderId, path);
    const Range files = FilesOf(folderId);
    for (std::uint64_t i = files.first; i < files.end; ++i) EmitFile(folderId, i, path);
  }

  void EmitFolder(std::uint64_t k, std::uint32_t parentId, const std::string& parentPath) {
    const std::uint32_t parentDirId = parentId == kRootFolderId ? 1 : ParentOf(parentId - 3);
    std::string path;
    if (onObject_) path = folderPaths_[k] = (parentPath.empty() ? "" : parentPath + "/") + FolderName(k);
    EmitFolderObject(parentId, FolderId(k), parentDirId, FolderTime(k), FolderRange(FolderId(k)), FilesOf(FolderId(k)),
                     path);
  }

  // ---- Internal nodes ----

  std::uint32_t MaxFanout() const {
    const std::uint32_t fit = (kBlockSize - kBlockHeadSize - 8) / (16 + 8) + 1;
    return shape_.internalFanout == 0 ? fit : std::clamp<std::uint32_t>(shape_.internalFanout, 2, fit);
  }

  std::uint32_t BuildInternalLevels() {
    std::vector<ChildRef> level = std::move(leaves_);
    std::uint16_t height = 1;
    const std::uint32_t fanout = MaxFanout();
    std::vector<std::byte> node(kBlockSize);
    while (level.size() > 1) {
      if (++height > kMaxHeight) throw std::runtime_error("the tree would be taller than 5 levels");
      const std::size_t nodes = (level.size() + fanout - 1) / fanout;
      std::vector<ChildRef> upper;
      for (std::size_t n = 0; n < nodes; ++n) {
        // Children spread evenly, so that no node is left with a single child.
        const std::size_t first = level.size() * n / nodes;
        const std::size_t end = level.size() * (n + 1) / nodes;
        const std::size_t keys = end - first - 1;
        std::fill(node.begin(), node.end(), std::byte{0});
        WriteLittleEndian<std::uint16_t>(node, 0, height);
        WriteLittleEndian<std::uint16_t>(node, 2, static_cast<std::uint16_t>(keys));
        const std::size_t used = 16 * keys + 8 * (keys + 1);
        WriteLittleEndian<std::uint16_t>(node, 4, static_cast<std::uint16_t>(kBlockSize - kBlockHeadSize - used));
        for (std::size_t c = first; c < end; ++c) {
          if (c > first)
            std::copy(level[c].firstKey.begin(), level[c].firstKey.end(),
                      node.begin() + kBlockHeadSize + 16 * (c - first - 1));
          const std::size_t at = kBlockHeadSize + 16 * keys + 8 * (c - first);
          WriteLittleEndian<std::uint32_t>(node, at, level[c].block);
          WriteLittleEndian<std::uint16_t>(node, at + 4, level[c].usedBytes);
        }
        const std::uint32_t block = AllocateBlock();
        blocks_.Write(block, node);
        upper.push_back({level[first].firstKey, block, static_cast<std::uint16_t>(used)});
        ++summary_.internalNodes;
      }
      level = std::move(upper);
    }
    summary_.treeHeight = height;
    return level.front().block;
  }

  // ---- Superblock and bitmaps ----

  void WriteSuperblockAndBitmaps(std::uint32_t root) {
    // Every block up to the last one written is in use; some room is left free after it.
    const std::uint64_t used = next_;
    const std::uint64_t count = std::max<std::uint64_t>(used + used / 8 + 64, kFirstTreeBlock + 1024);
    if (count > 0xFFFFFFFFull) throw std::runtime_error("the volume outgrew 32-bit block numbers");
    const auto blockCount = static_cast<std::uint32_t>(count);
    const std::uint32_t bitmaps = (blockCount + kBitsPerBitmap - 1) / kBitsPerBitmap;
    std::uint32_t usedBlocks = 0;
    std::vector<std::byte> bitmap(kBlockSize);
    for (std::uint32_t b = 0; b < bitmaps; ++b) {
      std::fill(bitmap.begin(), bitmap.end(), std::byte{0});
      for (std::uint32_t bit = 0; bit < kBitsPerBitmap; ++bit) {
        const std::uint64_t block = std::uint64_t{b} * kBitsPerBitmap + bit;
        const bool inUse = block < used || block >= blockCount || bit == 0 || (b == 0 && block == 17);
        if (!inUse) continue;
        bitmap[bit / 8] |= std::byte{static_cast<unsigned char>(1u << (bit % 8))};
        if (block < blockCount) ++usedBlocks;
      }
      blocks_.Write(b == 0 ? 17 : b * kBitsPerBitmap, bitmap);
      blocks_.Flush();
    }
    ReiserSuperblock sb;
    sb.blockCount = blockCount;
    sb.freeBlockCount = blockCount - usedBlocks;
    sb.rootBlock = root;
    sb.journal = {kJournalFirst, 0, kJournalSize, 1024, 0x5EED, 900, 30, 30};
    sb.blockSize = kBlockSize;
    sb.objectIdMapMaxSize = (kBlockSize - kSuperblockSize) / 4 / 2 * 2;
    sb.objectIdMapCurrentSize = 2;
    sb.unmountState = 1;
    const char magic[] = "ReIsEr2Fs";
    std::memcpy(sb.magic.data(), magic, sizeof magic);
    sb.hashFunctionCode = 3;  // r5
    // The superblock counts one level more than the root's.
    sb.treeHeight = static_cast<std::uint16_t>(summary_.treeHeight + 1);
    sb.bitmapBlockCount = static_cast<std::uint16_t>(bitmaps);
    sb.formatVersion = 2;
    std::vector<std::byte> block(kBlockSize);
    // The journal header (after the journal) repeats the journal's parameters.
    for (std::size_t i = 0; i < sb.journal.size(); ++i)
      WriteLittleEndian<std::uint32_t>(block, 12 + 4 * i, sb.journal[i]);
    blocks_.Write(kJournalFirst + kJournalSize, block);
    blocks_.Flush();
    std::fill(block.begin(), block.end(), std::byte{0});
    const auto encoded = sb.Encode();
    std::copy(encoded.begin(), encoded.end(), block.begin());
    // The object id map: ids 1 to the last one handed out are in use.
    WriteLittleEndian<std::uint32_t>(block, kSuperblockSize, 1);
    WriteLittleEndian<std::uint32_t>(block, kSuperblockSize + 4, FileId(files_));
    blocks_.Write(65536 / kBlockSize, block);
    blocks_.Flush();
    const std::uint64_t sectors = std::uint64_t{blockCount} * (kBlockSize / 512);
    image_.Resize(shape_.partitionStart * 512 + sectors * 512);
    if (shape_.partitionStart > 0) {
      image_.WritePartitionEntry(0, 0, 0x83, static_cast<std::uint32_t>(shape_.partitionStart),
                                 static_cast<std::uint32_t>(std::min<std::uint64_t>(sectors, 0xFFFFFFFFull)));
      const std::array<std::byte, 2> signature{std::byte{0x55}, std::byte{0xAA}};
      image_.Write(510, signature);
    }
    summary_.blockCount = blockCount;
  }

  SparseImage& image_;
  const SyntheticVolumeShape& shape_;
  const std::function<void(const SyntheticObject&)>& onObject_;
  BlockWriter blocks_;
  SyntheticVolumeSummary summary_;
  std::uint32_t folders_ = 0;
  std::uint64_t files_ = 0;
  std::uint32_t top_ = 1;
  std::uint32_t sub_ = 1;
  std::uint32_t next_ = kFirstTreeBlock;
  std::vector<std::byte> leaf_;
  std::uint32_t leafItems_ = 0;
  std::uint32_t leafBodyStart_ = kBlockSize;
  std::vector<ChildRef> leaves_;
  std::vector<std::string> folderPaths_;
  const std::string empty_;
};

}  // namespace

char SyntheticFileByte(std::uint32_t objectId, std::uint64_t k) {
  if (k % 64 == 63) return '\n';
  return static_cast<char>('a' + (objectId * 31u + k) % 26);
}

SyntheticVolumeSummary WriteSyntheticVolume(const std::string& path, const SyntheticVolumeShape& shape,
                                            const std::function<void(const SyntheticObject&)>& onObject) {
  SparseImage image(path, 0);
  return VolumeWriter(image, shape, onObject).Run();
}

}  // namespace vantrel::test
