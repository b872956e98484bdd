#include "reiserfs/build/QuickCatalogueBuild.h"

#include <optional>
#include <unordered_set>

#include "reiserfs/build/SweptItems.h"
#include "reiserfs/build/TreeSearch.h"
#include "reiserfs/build/TreeSweep.h"

namespace vantrel {

namespace {

constexpr TreeKey kRootFolderEntries{1, 2, 1, 0, kDirectoryType};

class QuickBuild : public ItemConsumer {
 public:
  QuickBuild(const PartitionSource& partition, const StopToken& stop, BuildStatusSink& sink)
      : partition_(partition), stop_(stop), sink_(sink), catalogue_(BeginCatalogue(partition)), status_(sink) {}

  Catalogue Run() {
    blocks_.emplace(partition_.disk, partition_.startSector, catalogue_.currentSuperblock);
    blocks_->UseLoggedCopies(catalogue_.journal.copies);
    blocks_->ReportReadsTo([this](std::uint64_t sector) { status_.SetCurrentSector(sector); });
    FindItems();

    walkedFolder_ = kRootFolderId;
    Search(kRootFolderEntries);
    FindStatDataAndConvert();
    WalkFolders();
    catalogue_.stopped = Stopped();
    FinishCatalogue(catalogue_, status_, sink_);
    return std::move(catalogue_);
  }

  void OnDirEntry(std::uint32_t objectId, std::uint32_t dirId, std::string_view name) override {
    catalogue_.objectList.Append({.objectId = objectId, .dirId = dirId, .folderId = walkedFolder_}, name);
  }

  void OnStatData(std::uint32_t objectId, std::uint32_t dirId, const StatData& data) override {
    if (ObjectRecord* record = catalogue_.objectList.Find(objectId, dirId)) {
      record->modificationTime = data.modificationTime;
      record->size = data.size;
      record->mode = data.mode;
      record->details = data.details;
    }
    status_.SetRow(StatusRow::TotalFound, catalogue_.statDataCount);
    ++catalogue_.statDataCount;
  }

 private:
  bool Stopped() const { return stop_.Requested(); }

  // One sweep of the live tree in key order, its leaves read in block order, gives every
  // item the searches would find. Where the tree is not sound, or a stop came during the
  // sweep, the searches are made from the root instead, as they always were.
  void FindItems() {
    const std::uint32_t root = catalogue_.currentSuperblock.rootBlock;
    SweptItems items;
    const SweepEnd end = SweepTree(*blocks_, root, stop_, [&](ByteSpan leaf) { items.AddLeaf(leaf); });
    if (end == SweepEnd::Sound && items.Complete())
      swept_.emplace(std::move(items));
    else
      search_.emplace(*blocks_, root);
  }

  void Search(const TreeKey& key) {
    if (swept_)
      swept_->Deliver(key, *this);
    else
      search_->SearchTree(key, *this);
  }

  // Each record's stat data, then every record into the catalogue. Stop ends the
  // searches (the one under way completes) but not the conversion: the records already
  // found are all kept. A second name of an object already looked up takes its stat data
  // from the first name rather than searching again.
  void FindStatDataAndConvert() {
    ObjectList& objects = catalogue_.objectList;
    for (std::size_t i = 0; i < objects.Size(); ++i) {
      ObjectRecord& record = objects[i];
      const ObjectRecord* first = objects.Find(record.objectId, record.dirId);
      if (first != nullptr && first != &record) {
        record.modificationTime = first->modificationTime;
        record.size = first->size;
        record.mode = first->mode;
        record.details = first->details;
        continue;
      }
      Search({record.dirId, record.objectId, 0, 0, kStatDataType});
      if (Stopped()) break;
    }
    for (std::size_t i = 0; i < objects.Size(); ++i) ConvertObject(catalogue_, status_, objects[i]);
  }

  // Breadth-first: folderList grows while it is walked, "Lost" first.
  void WalkFolders() {
    std::unordered_set<std::uint64_t> walked;
    for (std::size_t f = 0; f < catalogue_.folderList.size(); ++f) {
      const std::uint32_t parentId = catalogue_.folderList[f].parentId;
      const std::uint32_t objectId = catalogue_.folderList[f].objectId;
      if (!walked.insert((std::uint64_t{parentId} << 32) | objectId).second) continue;
      catalogue_.objectList.Clear();
      walkedFolder_ = objectId;
      Search({parentId, objectId, 1, 0, kDirectoryType});
      FindStatDataAndConvert();
      if (Stopped()) return;
    }
  }

  const PartitionSource& partition_;
  const StopToken& stop_;
  BuildStatusSink& sink_;
  Catalogue catalogue_;
  BuildStatus status_;
  std::optional<PartitionBlocks> blocks_;
  std::optional<SweptItems> swept_;
  std::optional<TreeSearch> search_;
  std::uint32_t walkedFolder_ = kRootFolderId;  // the folder whose entries are being read
};

}  // namespace

Catalogue BuildQuickCatalogue(const PartitionSource& partition, const StopToken& stop, BuildStatusSink& sink) {
  return QuickBuild(partition, stop, sink).Run();
}

}  // namespace vantrel
