#include "recovery/CatalogueChoice.h"

#include "recovery/LoggedCatalogue.h"
#include "reiserfs/build/AdvancedCatalogueBuild.h"
#include "reiserfs/build/QuickCatalogueBuild.h"
#include "reiserfs/catalogue/LoggedStatData.h"

namespace vantrel {

namespace {

bool Hinted(const GeometryHints& hints) { return hints.blockSize || hints.blockCount || hints.format36; }

// The partition's geometry for a build: its superblock (with what was given by hand in its
// place), or, for the advanced build where no superblock checks out, what its tree gives.
// A geometry found from the tree has no journal to replay.
void ChooseGeometry(const DiskChoice& disk, std::uint64_t size, const CatalogueRequest& request,
                    PartitionSource& partition, RecoveryMessages& messages) {
  const auto found = ReadSuperblock(disk.disk, partition.startSector);
  if ((found && found->IsPlausible()) || request.build != FileSearchKind::Advanced) {
    if (Hinted(request.geometry)) partition.superblock = WithHints(partition.superblock, request.geometry);
    return;
  }
  const std::uint64_t start = partition.startSector;
  const std::uint64_t sectors = size != 0 ? size : disk.sectors > start ? disk.sectors - start : 0;
  const auto inferred = InferGeometry(disk.disk, start, sectors, request.geometry);
  if (!inferred) {
    messages.Remark("no superblock, and no leaf of a tree found from sector " + std::to_string(start));
    return;
  }
  partition.superblock = inferred->superblock;
  partition.journal.replay = false;
  messages.Remark("no superblock: " + InferredGeometryText(*inferred));
}

// A recovery log holds no owners, link counts or device numbers: they are read from the
// partition's live tree, when the disk is there.
void TakeStatDataFromDisk(ChosenCatalogue& chosen) {
  SilentBuildStatus silent;
  const Catalogue live = BuildQuickCatalogue(chosen.partition, StopToken(), silent);
  TakeStatDataFromLiveTree(chosen.catalogue, &live);
}

}  // namespace

Catalogue BuildCatalogue(const PartitionSource& partition, FileSearchKind kind, const StopToken& stop,
                         BuildStatusSink& sink) {
  return kind == FileSearchKind::Advanced ? BuildAdvancedCatalogue(partition, stop, sink)
                                          : BuildQuickCatalogue(partition, stop, sink);
}

JournalState PartitionJournalState(const DiskReader& disk, std::uint64_t start, const JournalOptions& options) {
  return ReadPartitionJournal(disk, start, ReadPartitionSuperblock(disk, start), options).journal;
}

Result<ChosenCatalogue> ObtainCatalogue(const DiskChoice& disk, const CatalogueRequest& request,
                                        CatalogueWatchers watchers) {
  if (!disk.problem.empty()) return Error{ErrorKind::Unreadable, disk.problem, {}};
  if (!request.recoveryLog.empty()) {
    auto loaded = LoadLoggedCatalogue(request.recoveryLog, disk, watchers.messages, request.journal);
    if (loaded) TakeStatDataFromDisk(*loaded);
    return loaded;
  }

  const auto partition = ChoosePartition(disk, request.partition, watchers.search, watchers.messages);
  if (!partition) return partition.Failure();
  ChosenCatalogue chosen{.partition = {disk.disk, 0, {}, {}}, .diskIndex = disk.index, .diskModel = disk.model};
  chosen.partitions = partition->found.partitions;
  chosen.recoveryMode = partition->recoveryMode;
  const std::uint64_t start = partition->record.start;
  chosen.partition = {disk.disk, start, ReadPartitionSuperblock(disk.disk, start), request.journal};
  chosen.selectedSize = partition->record.size;
  ChooseGeometry(disk, partition->record.size, request, chosen.partition, watchers.messages);
  const bool advanced = request.build == FileSearchKind::Advanced;
  chosen.fileSearch = advanced ? FileSearchKind::Advanced : FileSearchKind::Quick;
  chosen.source = advanced ? BodySource::Pieces : BodySource::Tree;
  chosen.catalogue = BuildCatalogue(chosen.partition, request.build, StopToken(), watchers.build);
  if (!advanced) watchers.messages.Tell(kAdvanceSearchHint, MessageStyle::Box);
  return chosen;
}

}  // namespace vantrel
