#include "recovery/CatalogueChoice.h"

#include "recovery/LoggedCatalogue.h"
#include "reiserfs/build/AdvancedCatalogueBuild.h"
#include "reiserfs/build/QuickCatalogueBuild.h"
#include "reiserfs/catalogue/LoggedStatData.h"

namespace vantrel {

namespace {

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

StepResult ObtainCatalogue(const DiskChoice& disk, const CatalogueRequest& request, CatalogueWatchers watchers,
                           std::optional<ChosenCatalogue>& obtained) {
  if (!disk.problem.empty()) return {StepOutcome::DiskUnreadable, disk.problem, {}};
  ChosenCatalogue& chosen = obtained.emplace(ChosenCatalogue{.partition = {disk.disk, 0, {}, {}}});
  chosen.diskIndex = disk.index;
  chosen.diskModel = disk.model;
  const auto refuse = [&](StepResult failure) {
    obtained.reset();
    return failure;
  };
  if (!request.recoveryLog.empty()) {
    StepResult loaded = LoadLoggedCatalogue(request.recoveryLog, disk, watchers.messages, chosen, request.journal);
    if (!loaded.Done()) return refuse(loaded);
    TakeStatDataFromDisk(chosen);
    return loaded;
  }

  StepResult failure;
  const auto partition = ChoosePartition(disk, request.partition, watchers.search, watchers.messages, failure);
  if (!partition) return refuse(failure);
  chosen.partitions = partition->found.partitions;
  chosen.recoveryMode = partition->recoveryMode;
  const std::uint64_t start = partition->record.start;
  chosen.partition = {disk.disk, start, ReadPartitionSuperblock(disk.disk, start), request.journal};
  chosen.selectedSize = partition->record.size;
  const bool advanced = request.build == FileSearchKind::Advanced;
  chosen.fileSearchType = advanced ? 2 : 1;
  chosen.source = advanced ? BodySource::Pieces : BodySource::Tree;
  chosen.catalogue = BuildCatalogue(chosen.partition, request.build, StopToken(), watchers.build);
  if (!advanced) watchers.messages.Tell(kAdvanceSearchHint, MessageStyle::Box);
  return {};
}

}  // namespace vantrel
