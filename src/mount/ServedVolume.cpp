#include "mount/ServedVolume.h"

#include "reiserfs/build/QuickCatalogueBuild.h"
#include "reiserfs/build/TreeSearch.h"
#include "reiserfs/catalogue/LoggedStatData.h"

namespace vantrel::mount {

namespace {

// The root folder's own stat data (key [1 2]), which no folder entry leads to.
class RootStatData : public ItemConsumer {
 public:
  void OnStatData(std::uint32_t objectId, std::uint32_t dirId, const StatData& data) override {
    if (objectId == kRootFolderId && dirId == 1) found = data;
  }
  std::optional<StatData> found;
};

// Kept as an object record for the mount's root, when the catalogue has none.
void KeepRootStatData(const PartitionSource& partition, Catalogue& catalogue) {
  if (catalogue.objectList.Find(kRootFolderId, 1) != nullptr) return;
  PartitionBlocks blocks(partition.disk, partition.startSector, catalogue.currentSuperblock);
  blocks.UseLoggedCopies(catalogue.journal.copies);
  if (!blocks.Usable()) return;
  TreeSearch search(blocks, catalogue.currentSuperblock.rootBlock);
  RootStatData root;
  search.SearchTree({1, kRootFolderId, 0, 0, kStatDataType}, root);
  if (!root.found) return;
  ObjectRecord record;
  record.objectId = kRootFolderId;
  record.dirId = 1;
  record.modificationTime = root.found->modificationTime;
  record.size = root.found->size;
  record.mode = root.found->mode;
  record.details = root.found->details;
  catalogue.objectList.Append(record, "");
}

}  // namespace

std::unique_ptr<MountedVolume> MakeServedVolume(const PartitionSource& partition, Catalogue catalogue,
                                                BodySource bodies, bool strict, const NameDecoder& names,
                                                const StopToken& stop, BuildStatusSink* status) {
  const bool logged = catalogue.statDataCount == 0 && catalogue.objectCount == 0;
  KeepRootStatData(partition, catalogue);
  // The live tree, when something is to be told from it.
  std::optional<Catalogue> live;
  if (bodies == BodySource::Pieces || logged) {
    SilentBuildStatus silent;
    live = BuildQuickCatalogue(partition, stop, status != nullptr ? *status : silent);
    if (stop.Requested()) return nullptr;
  }
  if (logged) TakeStatDataFromLiveTree(catalogue, live ? &*live : nullptr);
  // A live tree that could not be read (no superblock, a lost root) tells nothing: the
  // entries are then live unless the build marked them deleted.
  const bool liveRead = live && live->folderList.size() + live->fileList.size() > 1;
  const EntryStates states = bodies == BodySource::Pieces && liveRead ? EntryStates(*live) : EntryStates();
  return std::make_unique<MountedVolume>(partition, std::move(catalogue), bodies, states, strict, names);
}

}  // namespace vantrel::mount
