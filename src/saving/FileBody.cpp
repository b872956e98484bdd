#include "saving/FileBody.h"

#include <algorithm>

namespace vantrel {

namespace {

std::uint64_t FilePosition(const TreeKey& key) {
  const std::uint64_t offset = (std::uint64_t{key.offsetHigh} << 32) | key.offset;
  return offset == 0 ? 0 : offset - 1;  // key offsets count from 1
}

void AppendPointers(FileBody& body, std::uint64_t position, ByteSpan items, std::uint32_t blockSize) {
  for (std::size_t i = 0; i + 4 <= items.size(); i += 4) {
    body.blocks.push_back({position, ReadU32(items, i)});
    position += blockSize;
  }
}

class BodyConsumer : public ItemConsumer {
 public:
  BodyConsumer(FileBody& body, std::uint32_t blockSize) : body_(body), blockSize_(blockSize) {}
  void OnIndirect(const TreeKey& key, ByteSpan items) override {
    AppendPointers(body_, FilePosition(key), items, blockSize_);
  }
  void OnDirect(const TreeKey& key, ByteSpan bytes) override {
    body_.tails.push_back({FilePosition(key), std::vector<std::byte>(bytes.begin(), bytes.end())});
  }

 private:
  FileBody& body_;
  std::uint32_t blockSize_;
};

}  // namespace

std::vector<BlockPointer> EffectivePointers(const FileBody& body, std::uint64_t size) {
  std::vector<BlockPointer> pointers;
  for (const BlockPointer& p : body.blocks)
    if (p.position < size) pointers.push_back(p);
  std::stable_sort(pointers.begin(), pointers.end(),
                   [](const BlockPointer& a, const BlockPointer& b) { return a.position < b.position; });
  std::vector<BlockPointer> kept;
  kept.reserve(pointers.size());
  for (std::size_t i = 0; i < pointers.size(); ++i)
    if (i + 1 == pointers.size() || pointers[i].position != pointers[i + 1].position) kept.push_back(pointers[i]);
  return kept;
}

BodyCollector::BodyCollector(const PartitionSource& partition, const Catalogue& catalogue, BodySource source)
    : catalogue_(catalogue),
      source_(source),
      blocks_(partition.disk, partition.startSector, catalogue.currentSuperblock),
      search_(blocks_, catalogue.currentSuperblock.rootBlock),
      check_(catalogue.currentSuperblock, catalogue.leafBlocks),
      leaves_(std::size_t{16} << 20) {
  blocks_.UseLoggedCopies(catalogue.journal.copies);
}

FileBody BodyCollector::Collect(std::uint32_t objectId, std::uint32_t parentId) {
  FileBody body = source_ == BodySource::Pieces ? FromPieces(objectId, parentId) : FromTree(objectId, parentId);
  for (BlockPointer& pointer : body.blocks)
    if (pointer.block != 0) pointer.misplaced = check_.Check(pointer.block);
  return body;
}

FileBody BodyCollector::FromTree(std::uint32_t objectId, std::uint32_t parentId) {
  FileBody body;
  BodyConsumer consumer(body, blocks_.BlockSize());
  // Block numbers first, then the tail that may follow them (or hold the whole file).
  search_.SearchTree({parentId, objectId, 1, 0, kIndirectType}, consumer);
  search_.SearchTree({parentId, objectId, 1, 0, kDirectType}, consumer, true);
  return body;
}

std::optional<ByteSpan> BodyCollector::PieceBytes(const BodyPiece& piece) {
  ByteSpan leaf;
  const UnreadSectors* unread = nullptr;
  if (NodeCache::Node cached = leaves_.Find(piece.block)) {
    leaf = *cached;
  } else if (damagedLeaf_ && damagedBlock_ == piece.block) {
    leaf = *damagedLeaf_;
    unread = &damagedSectors_;
  } else {
    if (piece.block == 0 || piece.block >= blocks_.BlockCount() || !blocks_.Usable()) return std::nullopt;
    std::vector<std::byte> bytes(blocks_.BlockSize());
    UnreadSectors sectors;
    if (blocks_.ReadBlock(bytes, piece.block, &sectors) != 0) {
      leaf = *leaves_.Insert(piece.block, std::move(bytes));
    } else {
      damagedLeaf_ = std::make_shared<const std::vector<std::byte>>(std::move(bytes));
      damagedBlock_ = piece.block;
      damagedSectors_ = std::move(sectors);
      leaf = *damagedLeaf_;
      unread = &damagedSectors_;
    }
  }
  // The recorded position is bounded to its block.
  if (piece.location >= leaf.size()) return ByteSpan{};
  const ByteSpan bytes = leaf.subspan(piece.location,
                                      std::min<std::size_t>(piece.length, leaf.size() - piece.location));
  if (unread != nullptr && !unread->AllRead(piece.location, bytes.size())) return std::nullopt;
  return bytes;
}

FileBody BodyCollector::FromPieces(std::uint32_t objectId, std::uint32_t parentId) {
  FileBody body;
  // A damaged leaf is read again for the next file, as the bad-sector policy may have changed.
  damagedLeaf_.reset();
  const ObjectRecord* record = catalogue_.objectList.Find(objectId, parentId);
  if (record == nullptr) return body;
  // A piece whose file position was not recorded follows the one before it.
  const auto place = [](const BodyPiece& piece, std::uint64_t next) { return piece.offset ? piece.offset - 1 : next; };
  const auto bytesOf = [&](const BodyPiece& piece) {
    auto bytes = PieceBytes(piece);
    if (!bytes) body.itemsUnreadable = true;
    return bytes;
  };
  std::uint64_t next = 0;
  for (const BodyPiece& piece : catalogue_.objectList.Pieces(*record)) {
    const std::uint64_t position = place(piece, next);
    const auto items = bytesOf(piece);
    next = position + std::uint64_t{piece.length / 4} * blocks_.BlockSize();
    if (items) AppendPointers(body, position, *items, blocks_.BlockSize());
  }
  for (const BodyPiece& piece : catalogue_.objectList.TailPieces(*record)) {
    const std::uint64_t position = place(piece, next);
    const auto bytes = bytesOf(piece);
    next = position + piece.length;
    if (bytes) body.tails.push_back({position, std::vector<std::byte>(bytes->begin(), bytes->end())});
  }
  return body;
}

}  // namespace vantrel
