#include "reiserfs/build/AdvancedCatalogueBuild.h"

#include <algorithm>
#include <optional>

#include "base/AlignedBuffer.h"
#include "reiserfs/format/ItemDispatch.h"
#include "reiserfs/format/PartitionBlocks.h"
#include "reiserfs/build/StretchScanAhead.h"

namespace vantrel {

namespace {

// Blocks are read in large stretches, ahead of the build on the scan's own threads. A
// stretch whose read fails is read again block by block through the bad-sector policy,
// exactly as a scan of single blocks would read it.
constexpr std::size_t kStretchBytes = std::size_t{2} << 20;

bool IsRootFolderObject(const ObjectRecord& record) { return record.dirId == 1 && record.objectId == kRootFolderId; }

class AdvancedBuild {
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
    TakeLoggedCopies();
    catalogue_.stopped = Stopped();
    stop_.Clear();
    AttachTails();
    Convert();
    FinishCatalogue(catalogue_, status_, sink_);
    return std::move(catalogue_);
  }

 private:
  struct Tail {
    std::uint32_t objectId;
    std::uint32_t dirId;
    ObjectRecord* record;  // when already known at the scan
    BodyPiece piece;
  };

  // How far ahead of the item in hand the object index is asked for the slots of the items
  // to come: their fetches from memory then overlap.
  static constexpr std::size_t kPrefetchDistance = 8;

  bool Stopped() const { return stop_.Requested(); }

  // The stretches come decoded from the scan ahead; one it could not read whole is read
  // here block by block, in its place in the order.
  void BlockScan() {
    PartitionBlocks& blocks = *blocks_;
    const std::uint32_t count = blocks.BlocksOnDisk();
    const std::uint32_t blockSize = blocks.BlockSize();
    const std::uint32_t perStretch = count == 0 ? 1 : std::max<std::uint32_t>(1, kStretchBytes / blockSize);
    StretchScanAhead ahead(blocks, perStretch);
    ScannedStretch readHere;
    while (ScannedStretch* stretch = ahead.Next()) {
      if (!stretch->scanned) {
        ReadBlockByBlock(*stretch, readHere);
        stretch = &readHere;
      }
      const bool whole = TakeItems(*stretch);
      if (stretch->lastNodeBlock && *stretch->lastNodeBlock > 0) {
        status_.SetStatusCount("Searching Blocks ", *stretch->lastNodeBlock, count);
        status_.SetProgress(ProgressPercent(*stretch->lastNodeBlock, count));
      }
      if (!whole || Stopped()) {
        status_.Flush();
        return;
      }
    }
    status_.SetProgress(100);
    status_.Flush();
  }

  // A block whose read failed is examined only where its sectors arrived (after Retry),
  // never in the stale or zeroed bytes of those that did not. A stop request is heard
  // between blocks: on a failing disk each may take long.
  void ReadBlockByBlock(const ScannedStretch& failed, ScannedStretch& into) {
    PartitionBlocks& blocks = *blocks_;
    if (!blockBuffer_) blockBuffer_.emplace(blocks.BlockSize());
    const auto buffer = blockBuffer_->Bytes();
    into.Reset(failed.firstBlock, failed.blockCount);
    UnreadSectors unread;
    for (std::uint32_t k = 0; k < failed.blockCount && !Stopped(); ++k) {
      const auto b = static_cast<std::uint32_t>(failed.firstBlock + k);
      const bool read = blocks.ReadBlock(buffer, b, &unread) != 0;
      ScanBlock(buffer, b, read ? nullptr : &unread, into);
    }
    into.scanned = true;
  }

  // The scan reads every block as it lies, the journal's included. The newest committed
  // copies of the blocks the journal replay found are then taken once more, after all the
  // others, so that where an object has several versions the newest one wins (the older
  // ones stay found). Their items are recorded where the copies lie in the journal, so
  // that what is read from them later is read as it lies too; a journal on another device
  // has no place on this partition and is left out.
  void TakeLoggedCopies() {
    const std::shared_ptr<const LoggedCopies> copies = std::move(catalogue_.journal.copies);
    catalogue_.journal.copies.reset();
    if (!copies || copies->apart || Stopped()) return;
    PartitionBlocks& blocks = *blocks_;
    if (!blockBuffer_) blockBuffer_.emplace(blocks.BlockSize());
    const auto buffer = blockBuffer_->Bytes();
    ScannedStretch logged;
    UnreadSectors unread;
    for (const auto& [block, copy] : copies->copies) {
      if (Stopped()) return;
      if (copy >= blocks.BlockCount()) continue;
      logged.Reset(copy, 1);
      const bool read = blocks.ReadBlock(buffer, copy, &unread) != 0;
      ScanBlock(buffer, copy, read ? nullptr : &unread, logged);
      logged.scanned = true;
      TakeItems(logged);
    }
  }

  // Takes in the items of the stretch (never empty of blocks) block by block, and hears a
  // stop request between blocks, as a scan of single blocks would; false when it came
  // before the end.
  bool TakeItems(const ScannedStretch& stretch) {
    const std::vector<ScannedItem>& items = stretch.items;
    auto block = static_cast<std::uint32_t>(stretch.firstBlock);
    status_.SetCurrentSector(blocks_->FirstSector(block));
    for (std::size_t i = 0; i < items.size(); ++i) {
      const ScannedItem& item = items[i];
      if (item.block != block) {
        if (Stopped()) return false;
        block = item.block;
        status_.SetCurrentSector(blocks_->FirstSector(block));
      }
      if (i + kPrefetchDistance < items.size()) {
        const ScannedItem& ahead = items[i + kPrefetchDistance];
        if (ahead.kind != ScannedKind::Direct) objects_.Prefetch(ahead.objectId, ahead.dirId);
      }
      switch (item.kind) {
        case ScannedKind::DirEntry: OnDirEntry(item, stretch.Name(item)); break;
        case ScannedKind::StatData: OnStatData(item); break;
        case ScannedKind::Indirect: OnIndirect(item); break;
        case ScannedKind::Direct: OnDirect(item); break;
      }
    }
    status_.SetCurrentSector(
        blocks_->FirstSector(static_cast<std::uint32_t>(stretch.firstBlock) + stretch.blockCount - 1));
    return true;
  }

  // The entry lies in the directory item of the folder whose object id is the item key's.
  void OnDirEntry(const ScannedItem& item, std::string_view name) {
    ObjectRecord* record = Find(item.objectId, item.dirId);
    if (record == nullptr)
      record = &Create(item.objectId, item.dirId, name);
    else
      objects_.Rename(*record, name);
    record->folderId = item.keyObjectId;
  }

  void OnStatData(const ScannedItem& item) {
    ObjectRecord* record = Find(item.objectId, item.dirId);
    if (record == nullptr) record = &Create(item.objectId, item.dirId, FoundName());
    record->modificationTime = item.modificationTime;
    record->size = item.offset;
    if (record->mode == kNotSeen && !IsRootFolderObject(*record)) ShowFoundWhileScanning(*record, item.value);
    record->mode = item.value;
    record->details = item.details;
  }

  // While the blocks are searched, the rows count the folders and files as their stat data
  // is first seen and name the last of each; the entries made after the search count again
  // from the start, and their counts are the catalogue's.
  void ShowFoundWhileScanning(const ObjectRecord& record, std::uint32_t mode) {
    const bool folder = IsFolderMode(mode);
    status_.SetRow(folder ? StatusRow::FoldersFound : StatusRow::FilesFound, ++(folder ? foldersSeen_ : filesSeen_));
    status_.SetRow(folder ? StatusRow::LastFolder : StatusRow::LastFile, std::string(objects_.Name(record)));
  }

  void OnIndirect(const ScannedItem& item) {
    ObjectRecord* record = Find(item.objectId, item.dirId);
    if (record == nullptr) record = &Create(item.objectId, item.dirId, FoundName());
    objects_.AddPiece(*record, PieceOf(item));
  }

  // Direct items name no object of their own: they are attached after the scan, in the
  // order found, to the records that the other items made. Most follow their object's
  // stat data in the same leaf, and then the record is known already.
  void OnDirect(const ScannedItem& item) {
    tails_.push_back({item.objectId, item.dirId, LastFound(item.objectId, item.dirId), PieceOf(item)});
  }

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
    ObjectRecord record{
        .objectId = objectId, .dirId = dirId, .modificationTime = kNotSeen, .mode = kNotSeen, .size = kNotSeen};
    ObjectRecord& added = objects_.Append(record, name);
    lastKey_ = KeyOf(objectId, dirId);
    lastRecord_ = &added;
    return added;
  }

  static BodyPiece PieceOf(const ScannedItem& item) { return {item.block, item.location, item.value, item.offset}; }

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
  std::uint64_t foldersSeen_ = 0;
  std::uint64_t filesSeen_ = 0;
  std::optional<PartitionBlocks> blocks_;
  std::optional<AlignedBuffer> blockBuffer_;  // for stretches read block by block
  std::vector<Tail> tails_;
  std::uint64_t lastKey_ = 0;
  ObjectRecord* lastRecord_ = nullptr;  // the record of lastKey_ in objects_
};

}  // namespace

Catalogue BuildAdvancedCatalogue(const PartitionSource& partition, const StopToken& stop, BuildStatusSink& sink) {
  return AdvancedBuild(partition, stop, sink).Run();
}

}  // namespace vantrel
