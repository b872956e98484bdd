#include "reiserfs/build/AdvancedCatalogueBuild.h"

#include <algorithm>
#include <optional>
#include <unordered_map>
#include <vector>

#include "base/AlignedBuffer.h"
#include "reiserfs/format/ItemDispatch.h"
#include "reiserfs/format/PartitionBlocks.h"
#include "reiserfs/build/LiveLeaves.h"
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

    FindLiveTree();
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
  // What the live tree reaches of a record: any of its items, and the name it holds now.
  enum Reached : std::uint8_t { kItemReached = 1, kNameReached = 2 };

  // A name of a record other than the one it holds: a hard link's second name, or the name
  // an object had before it was renamed.
  struct OtherName {
    std::uint32_t folderId;
    std::string name;
    bool reached;
  };

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

  // The leaves of the live tree as the journal's replay leaves it, when it can be told
  // whole; without them no entry is called deleted.
  void FindLiveTree() {
    copies_ = catalogue_.journal.copies;
    PartitionBlocks tree(partition_.disk, partition_.startSector, catalogue_.currentSuperblock);
    if (copies_) tree.UseLoggedCopies(copies_);
    live_ = LiveLeaves::Find(tree, catalogue_.currentSuperblock.rootBlock, stop_);
  }

  // Whether the live tree reaches the block as it lies: one of its leaves that the journal
  // holds no newer copy of.
  bool ReachedInPlace(std::uint32_t block) const {
    return live_ && live_->Contains(block) && !(copies_ && copies_->CopyOf(block));
  }

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
      TakeItems(logged, live_ && live_->Contains(block));
    }
  }

  // Takes in the items of the stretch (never empty of blocks) block by block, and hears a
  // stop request between blocks, as a scan of single blocks would; false when it came
  // before the end.
  // reachedCopy: the stretch is one logged copy, of a leaf the live tree reaches or not.
  bool TakeItems(const ScannedStretch& stretch, std::optional<bool> reachedCopy = std::nullopt) {
    const std::vector<ScannedItem>& items = stretch.items;
    auto block = static_cast<std::uint32_t>(stretch.firstBlock);
    status_.SetCurrentSector(blocks_->FirstSector(block));
    bool reached = reachedCopy.value_or(false);
    std::uint32_t reachedBlock = kNotSeen;  // the block `reached` was told for
    for (std::size_t i = 0; i < items.size(); ++i) {
      const ScannedItem& item = items[i];
      if (item.block != block) {
        if (Stopped()) return false;
        block = item.block;
        status_.SetCurrentSector(blocks_->FirstSector(block));
      }
      if (!reachedCopy && item.block != reachedBlock) {
        reachedBlock = item.block;
        reached = ReachedInPlace(reachedBlock);
        NoteLeaf(reachedBlock);
      }
      if (i + kPrefetchDistance < items.size()) {
        const ScannedItem& ahead = items[i + kPrefetchDistance];
        if (ahead.kind != ScannedKind::Direct) objects_.Prefetch(ahead.objectId, ahead.dirId);
      }
      switch (item.kind) {
        case ScannedKind::DirEntry: OnDirEntry(item, stretch.Name(item), reached); break;
        case ScannedKind::StatData: OnStatData(item, reached); break;
        case ScannedKind::Indirect: OnIndirect(item, reached); break;
        case ScannedKind::Direct: OnDirect(item); break;
      }
    }
    status_.SetCurrentSector(
        blocks_->FirstSector(static_cast<std::uint32_t>(stretch.firstBlock) + stretch.blockCount - 1));
    return true;
  }

  // The stretches come in block order: the leaves stay in block order as they are noted.
  void NoteLeaf(std::uint32_t block) {
    std::vector<std::uint32_t>& leaves = catalogue_.leafBlocks;
    if (leaves.empty() || leaves.back() < block) leaves.push_back(block);
  }

  // The entry lies in the directory item of the folder whose object id is the item key's.
  // The record holds the name seen last; the others it had are kept beside it, each once.
  void OnDirEntry(const ScannedItem& item, std::string_view name, bool reached) {
    ObjectRecord* record = Find(item.objectId, item.dirId);
    if (record == nullptr) {
      record = &Create(item.objectId, item.dirId, name);
    } else if (record->folderId != item.keyObjectId || objects_.Name(*record) != name) {
      if (record->folderId != 0) SetAside(*record);
      reached = TakeBack(*record, item.keyObjectId, name) || reached;
      objects_.Rename(*record, name);
      reached_[record->place] &= static_cast<std::uint8_t>(~kNameReached);
    }
    record->folderId = item.keyObjectId;
    if (reached) reached_[record->place] |= kItemReached | kNameReached;
  }

  // The record's present name joins its other names.
  void SetAside(const ObjectRecord& record) {
    otherNames_[record.place].push_back(
        {record.folderId, std::string(objects_.Name(record)), (reached_[record.place] & kNameReached) != 0});
  }

  // Takes the name out of the record's other names; whether the live tree reached it there.
  bool TakeBack(const ObjectRecord& record, std::uint32_t folderId, std::string_view name) {
    const auto found = otherNames_.find(record.place);
    if (found == otherNames_.end()) return false;
    std::vector<OtherName>& names = found->second;
    const auto same = std::find_if(names.begin(), names.end(),
                                   [&](const OtherName& other) { return other.folderId == folderId && other.name == name; });
    if (same == names.end()) return false;
    const bool reached = same->reached;
    names.erase(same);
    return reached;
  }

  void OnStatData(const ScannedItem& item, bool reached) {
    ObjectRecord* record = Find(item.objectId, item.dirId);
    if (record == nullptr) record = &Create(item.objectId, item.dirId, FoundName());
    if (reached) reached_[record->place] |= kItemReached;
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

  void OnIndirect(const ScannedItem& item, bool reached) {
    ObjectRecord* record = Find(item.objectId, item.dirId);
    if (record == nullptr) record = &Create(item.objectId, item.dirId, FoundName());
    if (reached) reached_[record->place] |= kItemReached;
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
    reached_.push_back(0);
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
      ObjectRecord& record = objects_[k];
      const bool seen = record.objectId != kNotSeen && record.dirId != kNotSeen && record.mode != kNotSeen;
      if (seen && !IsRootFolderObject(record)) ConvertRecord(record);
      status_.SetStatusCount("Enumerating Files/Directories ", k, catalogue_.objectCount);
      status_.SetProgress(ProgressPercent(k, catalogue_.objectCount));
      if (Stopped()) break;
    }
    status_.Flush();
  }

  // A record becomes one entry under its name, or, when the live tree reaches another of
  // its names and not that one, under the other. A file gets an entry more for every other
  // name the live tree reaches (its hard links). A record none of whose items the live tree
  // reaches is marked deleted, when the live tree could be told.
  void ConvertRecord(ObjectRecord& record) {
    const auto others = otherNames_.find(record.place);
    std::vector<OtherName>* names = others == otherNames_.end() ? nullptr : &others->second;
    if (names != nullptr && live_ && (reached_[record.place] & kNameReached) == 0) {
      const auto reachedName =
          std::find_if(names->rbegin(), names->rend(), [](const OtherName& other) { return other.reached; });
      if (reachedName != names->rend()) {
        objects_.Rename(record, reachedName->name);
        record.folderId = reachedName->folderId;
        names->erase(std::next(reachedName).base());
      }
    }
    const bool deleted = live_ && (reached_[record.place] & kItemReached) == 0;
    ConvertObject(catalogue_, status_, record).typeCode = deleted ? kDeletedTypeCode : 0;
    if (names == nullptr || IsFolderMode(record.mode)) return;
    for (const OtherName& other : *names)
      if (other.reached) ConvertObjectNamed(catalogue_, status_, record, other.name, other.folderId);
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
  std::shared_ptr<const LoggedCopies> copies_;
  std::optional<LiveLeaves> live_;
  std::vector<std::uint8_t> reached_ = std::vector<std::uint8_t>(1, 0);  // Reached bits, by record place
  std::unordered_map<std::uint32_t, std::vector<OtherName>> otherNames_;  // by record place
  std::uint64_t lastKey_ = 0;
  ObjectRecord* lastRecord_ = nullptr;  // the record of lastKey_ in objects_
};

}  // namespace

Catalogue BuildAdvancedCatalogue(const PartitionSource& partition, const StopToken& stop, BuildStatusSink& sink) {
  return AdvancedBuild(partition, stop, sink).Run();
}

}  // namespace vantrel
