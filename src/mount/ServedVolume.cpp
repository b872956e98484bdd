#include "mount/ServedVolume.h"

#include <unordered_map>

#include "reiserfs/build/QuickCatalogueBuild.h"
#include "reiserfs/build/TreeSearch.h"

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
  catalogue.objectList.Append(record, "");
}

std::uint64_t KeyOf(std::uint32_t dirId, std::uint32_t objectId) { return std::uint64_t{dirId} << 32 | objectId; }

// A recovery log keeps the modes of the object records of an advanced build, not those of
// the entries: each entry without one takes its object's, else the live tree's.
void FillModes(Catalogue& catalogue, const Catalogue* live) {
  std::unordered_map<std::uint64_t, std::uint32_t> modes;
  if (live != nullptr)
    for (const auto* list : {&live->folderList, &live->fileList})
      for (const CatalogueEntry& entry : *list)
        if (entry.mode != kNotSeen) modes[KeyOf(entry.parentId, entry.objectId)] = entry.mode;
  for (const ObjectRecord& record : catalogue.objectList.Records())
    if (record.mode != kNotSeen && record.mode != 0) modes[KeyOf(record.dirId, record.objectId)] = record.mode;
  for (auto* list : {&catalogue.folderList, &catalogue.fileList})
    for (CatalogueEntry& entry : *list)
      if (entry.mode == kNotSeen)
        if (const auto found = modes.find(KeyOf(entry.parentId, entry.objectId)); found != modes.end())
          entry.mode = found->second;
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
  if (logged) FillModes(catalogue, live ? &*live : nullptr);
  // A live tree that could not be read (no superblock, a lost root) tells nothing: the
  // entries are then live unless the build marked them deleted.
  const bool liveRead = live && live->folderList.size() + live->fileList.size() > 1;
  const EntryStates states = bodies == BodySource::Pieces && liveRead ? EntryStates(*live) : EntryStates();
  return std::make_unique<MountedVolume>(partition, std::move(catalogue), bodies, states, strict, names);
}

}  // namespace vantrel::mount
