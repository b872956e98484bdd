#include "reiserfs/AdvancedCatalogueBuild.h"

#include <algorithm>
#include <optional>

#include "base/AlignedBuffer.h"
#include "reiserfs/ItemDispatch.h"
#include "reiserfs/PartitionBlocks.h"
#include "reiserfs/TreeNode.h"

namespace vantrel {

namespace {

// Blocks are looked at in large stretches: mapped where the disk can give them without a
// copy (an image file), read otherwise. A stretch whose read fails is read again block by
// block through the bad-sector policy, exactly as a scan of single blocks would read it.
constexpr std::size_t kStretchBytes = std::size_t{2} << 20;

bool IsRootFolderObject(const ObjectRecord& record) { return record.dirId == 1 && record.objectId == kRootFolderId; }

class AdvancedBuild : public ItemConsumer {
 public:
  AdvancedBuild(const PartitionSource& partition, const StopToken& stop, BuildStatusSink& sink)
      : partition_(partition),
        stop_(stop),
        sink_(sink),
        catalogue_(BeginCatalogue(partition)),
        objects_(catalogue_.objectList),
        status_(sink) {}

  Catalogue Run() {
    objects_.Append({.objectId = kLostFolderId}, kLostFolderName);
    blocks_.emplace(partition_.disk, partition_.startSector, catalogue_.currentSuperblock);
    blocks_->ReportReadsTo([this](std::uint64_t sector) { status_.SetCurrentSector(sector); });

    BlockScan();
    stop_.Clear();
    AttachTails();
    Convert();
    FinishCatalogue(catalogue_, status_, sink_);
    return std::move(catalogue_);
  }

  // The entry lies in the directory item of the folder whose object id is the item key's.
  void OnDirEntry(std::uint32_t objectId, std::uint32_t dirId, std::string_view name) override {
    ObjectRecord* record = Find(objectId, dirId);
    if (record == nullptr)
      record = &Create(objectId, dirId, name);
    else
      objects_.Rename(*record, name);
    record->folderId = currentItemObjectId_;
  }

  void OnStatData(std::uint32_t objectId, std::uint32_t dirId, const StatData& data) override {
    ObjectRecord* record = Find(objectId, dirId);
    if (record == nullptr) record = &Create(objectId, dirId, FoundName());
    record->modificationTime = data.modificationTime;
    record->size = data.size;
    record->mode = data.mode;
  }

  void OnIndirect(const TreeKey& key, ByteSpan body) override {
    ObjectRecord* record = Find(key.objectId, key.dirId);
    if (record == nullptr) record = &Create(key.objectId, key.dirId, FoundName());
    objects_.AddPiece(*record, PieceOf(key, body));
  }

  // Direct items name no object of their own: they are attached after the scan, in the
  // order found, to the records that the other items made. Most follow their object's
  // stat data in the same leaf, and then the record is known already.
  void OnDirect(const TreeKey& key, ByteSpan body) override {
    tails_.push_back({key.objectId, key.dirId, LastFound(key.objectId, key.dirId), PieceOf(key, body)});
  }

 private:
  struct Tail {
    std::uint32_t objectId;
    std::uint32_t dirId;
    ObjectRecord* record;  // when already known at the scan
    BodyPiece piece;
  };

  bool Stopped() const { return stop_.Requested(); }

  static std::uint64_t KeyOf(std::uint32_t objectId, std::uint32_t dirId) {
    return (std::uint64_t{objectId} << 32) | dirId;
  }

  // The record of (objectId, dirId), from ObjectList::Find; the items of one object often
  // follow one another, and then the last record found is taken again without a look-up
  // (records never move once appended).
  ObjectRecord* Find(std::uint32_t objectId, std::uint32_t dirId) {
    if (ObjectRecord* last = LastFound(objectId, dirId)) return last;
    ObjectRecord* record = objects_.Find(objectId, dirId);
    if (record == nullptr) return nullptr;
    lastKey_ = KeyOf(objectId, dirId);
    lastRecord_ = record;
    return record;
  }

  // The record of (objectId, dirId) when it was the last one found or made, else nullptr.
  ObjectRecord* LastFound(std::uint32_t objectId, std::uint32_t dirId) const {
    return KeyOf(objectId, dirId) == lastKey_ ? lastRecord_ : nullptr;
  }

  std::string FoundName() const { return "FOUND" + std::to_string(catalogue_.objectCount); }

  ObjectRecord& Create(std::uint32_t objectId, std::uint32_t dirId, std::string_view name) {
    status_.SetRow(StatusRow::TotalFound, catalogue_.objectCount);
    ++catalogue_.objectCount;
    ObjectRecord record{.objectId = objectId, .dirId = dirId, .modificationTime = kNotSeen, .mode = kNotSeen,
                        .size = kNotSeen};
    ObjectRecord& added = objects_.Append(record, name);
    lastKey_ = KeyOf(objectId, dirId);
    lastRecord_ = &added;
    return added;
  }

  BodyPiece PieceOf(const TreeKey& key, ByteSpan body) const {
    return {currentScanBlock_, currentItemLocation_, static_cast<std::uint32_t>(body.size()),
            (std::uint64_t{key.offsetHigh} << 32) | key.offset};
  }

  void BlockScan() {
    PartitionBlocks& blocks = *blocks_;
    const std::uint32_t count = blocks.BlocksOnDisk();
    const std::uint32_t blockSize = blocks.BlockSize();
    const std::uint32_t perStretch = count == 0 ? 1 : std::max<std::uint32_t>(1, kStretchBytes / blockSize);
    AlignedBuffer stretch(std::size_t{perStretch} * std::max<std::uint32_t>(blockSize, 1), AlignedBuffer::Uncleared::kYes);
    UnreadSectors unread;
    for (std::uint64_t first = 0; first < count; first += perStretch) {
      const auto inStretch = static_cast<std::uint32_t>(std::min<std::uint64_t>(perStretch, count - first));
      const std::uint64_t firstSector = blocks.FirstSector(static_cast<std::uint32_t>(first));
      const std::size_t length = std::size_t{inStretch} * blockSize;
      const std::optional<MappedBytes> mapped = partition_.disk.MapQuietly(firstSector, length);
      const auto buffer = stretch.Bytes().first(length);
      const bool whole = mapped || partition_.disk.ReadQuietly(firstSector, buffer) == ReadOutcome::Ok;
      const ByteSpan bytes = mapped ? mapped->Bytes() : buffer;
      for (std::uint32_t k = 0; k < inStretch; ++k) {
        const auto b = static_cast<std::uint32_t>(first + k);
        const auto block = bytes.subspan(std::size_t{k} * blockSize, blockSize);
        currentScanBlock_ = b;
        bool read = true;
        if (whole)
          status_.SetCurrentSector(blocks.FirstSector(b));
        else
          read = blocks.ReadBlock(buffer.subspan(std::size_t{k} * blockSize, blockSize), b, &unread) != 0;
        // A block whose read failed is examined only where its sectors arrived (after
        // Retry), never in the stale or zeroed bytes of those that did not.
        if (Examine(block, read ? nullptr : &unread) && b > 0) {
          status_.SetStatusCount("Searching Blocks ", b, count);
          status_.SetProgress(ProgressPercent(b, count));
        }
        if (Stopped()) {
          status_.Flush();
          return;
        }
      }
    }
    status_.SetProgress(100);
    status_.Flush();
  }

  // Dispatches the items of a block that looks like a leaf; true when the block looks
  // like a node at all (level 5 or below). For a block read in part, unread names the
  // sectors that did not arrive: the node header must lie in sectors that did, and an
  // item is taken only when its header and its body do.
  bool Examine(ByteSpan block, const UnreadSectors* unread) {
    const auto arrived = [unread](std::size_t offset, std::size_t length) {
      return unread == nullptr || unread->AllRead(offset, length);
    };
    if (!arrived(0, kNodeHeaderSize)) return false;
    const NodeHeader header = ReadNodeHeader(block);
    if (header.level > kHighestNodeLevel) return false;
    if (header.level != kLeafLevel) return true;
    for (std::size_t i = 0; i < header.itemCount; ++i) {
      const auto item = ReadItemHeader(block, i);
      if (!item) break;
      if (!arrived(kNodeHeaderSize + i * kItemHeaderSize, kItemHeaderSize)) continue;
      const auto key = DecodeItemKey(item->rawKey, item->version);
      if (!key) continue;
      const auto body = ItemBody(block, *item);
      if (!body || !arrived(item->location, item->length)) continue;
      currentItemLocation_ = item->location;
      currentItemObjectId_ = key->objectId;
      DispatchItem(*key, *body, *this, true);
    }
    return true;
  }

  void AttachTails() {
    for (const Tail& tail : tails_) {
      ObjectRecord* record = tail.record != nullptr ? tail.record : Find(tail.objectId, tail.dirId);
      if (record != nullptr) objects_.AddTailPiece(*record, tail.piece);
    }
    tails_.clear();
    objects_.GroupPieces();
  }

  // Records 1 onwards (0 is "Lost", whose folder entry the build began with) become
  // entries when their ids and stat data were seen: folders by their mode, every other
  // object as a file, whether its body lies in indirect items, direct items or nowhere
  // (an empty file). The root folder's own record is not an entry, as in the quick build.
  void Convert() {
    for (std::size_t k = 1; k < objects_.Size(); ++k) {
      const ObjectRecord& record = objects_[k];
      const bool seen = record.objectId != kNotSeen && record.dirId != kNotSeen && record.mode != kNotSeen;
      if (seen && !IsRootFolderObject(record)) ConvertObject(catalogue_, status_, record);
      status_.SetStatusCount("Enumerating Files/Directories ", k, catalogue_.objectCount);
      status_.SetProgress(ProgressPercent(k, catalogue_.objectCount));
      if (Stopped()) break;
    }
    status_.Flush();
  }

  const PartitionSource& partition_;
  const StopToken& stop_;
  BuildStatusSink& sink_;
  Catalogue catalogue_;
  ObjectList& objects_;
  BuildStatus status_;
  std::optional<PartitionBlocks> blocks_;
  std::uint32_t currentScanBlock_ = 0;
  std::uint32_t currentItemLocation_ = 0;
  std::uint32_t currentItemObjectId_ = 0;
  std::vector<Tail> tails_;
  std::uint64_t lastKey_ = 0;
  ObjectRecord* lastRecord_ = nullptr;  // the record of lastKey_ in objects_
};

}  // namespace

Catalogue BuildAdvancedCatalogue(const PartitionSource& partition, const StopToken& stop, BuildStatusSink& sink) {
  return AdvancedBuild(partition, stop, sink).Run();
}

}  // namespace vantrel
