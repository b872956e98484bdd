#include "reiserfs/build/ScannedStretch.h"

#include "reiserfs/format/ItemDispatch.h"
#include "reiserfs/format/TreeNode.h"

namespace vantrel {

namespace {

// Writes what DispatchItem hands on into the stretch, with the place of the item.
class ItemRecorder : public ItemConsumer {
 public:
  ItemRecorder(ScannedStretch& into, std::uint32_t block) : into_(into), block_(block) {}

  void At(std::uint32_t location, std::uint32_t keyObjectId) {
    location_ = location;
    keyObjectId_ = keyObjectId;
  }

  void OnStatData(std::uint32_t objectId, std::uint32_t dirId, const StatData& data) override {
    ScannedItem& item = Add(ScannedKind::StatData, objectId, dirId);
    item.value = data.mode;
    item.modificationTime = data.modificationTime;
    item.offset = data.size;
    item.details = data.details;
  }

  void OnDirEntry(std::uint32_t objectId, std::uint32_t dirId, std::string_view name) override {
    ScannedItem& item = Add(ScannedKind::DirEntry, objectId, dirId);
    item.value = static_cast<std::uint32_t>(into_.names.size());
    item.nameLength = static_cast<std::uint16_t>(name.size());  // at most 511 bytes
    into_.names.append(name);
  }

  void OnIndirect(const TreeKey& key, ByteSpan body) override { AddPiece(ScannedKind::Indirect, key, body); }
  void OnDirect(const TreeKey& key, ByteSpan body) override { AddPiece(ScannedKind::Direct, key, body); }

 private:
  ScannedItem& Add(ScannedKind kind, std::uint32_t objectId, std::uint32_t dirId) {
    return into_.items.emplace_back(ScannedItem{.kind = kind,
                                                .objectId = objectId,
                                                .dirId = dirId,
                                                .keyObjectId = keyObjectId_,
                                                .block = block_,
                                                .location = location_,
                                                .details = {}});
  }

  void AddPiece(ScannedKind kind, const TreeKey& key, ByteSpan body) {
    ScannedItem& item = Add(kind, key.objectId, key.dirId);
    item.value = static_cast<std::uint32_t>(body.size());
    item.offset = (std::uint64_t{key.offsetHigh} << 32) | key.offset;
  }

  ScannedStretch& into_;
  std::uint32_t block_;
  std::uint32_t location_ = 0;
  std::uint32_t keyObjectId_ = 0;
};

}  // namespace

void ScannedStretch::Reset(std::uint64_t first, std::uint32_t count) {
  firstBlock = first;
  blockCount = count;
  scanned = false;
  lastNodeBlock.reset();
  items.clear();
  names.clear();
}

void ScanBlock(ByteSpan block, std::uint32_t blockNumber, const UnreadSectors* unread, ScannedStretch& into) {
  const auto arrived = [unread](std::size_t offset, std::size_t length) {
    return unread == nullptr || unread->AllRead(offset, length);
  };
  if (!arrived(0, kNodeHeaderSize)) return;
  const NodeHeader header = ReadNodeHeader(block);
  if (header.level > kHighestNodeLevel) return;
  into.lastNodeBlock = blockNumber;
  if (header.level != kLeafLevel) return;
  ItemRecorder recorder(into, blockNumber);
  for (std::size_t i = 0; i < header.itemCount; ++i) {
    const auto item = ReadItemHeader(block, i);
    if (!item) break;
    if (!arrived(kNodeHeaderSize + i * kItemHeaderSize, kItemHeaderSize)) continue;
    const auto key = DecodeItemKey(item->rawKey, item->version);
    if (!key) continue;
    const auto body = ItemBody(block, *item);
    if (!body || !arrived(item->location, item->length)) continue;
    recorder.At(item->location, key->objectId);
    DispatchItem(*key, *body, recorder, true);
  }
}

}  // namespace vantrel
