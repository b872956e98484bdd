#include "recovery/CatalogueChoice.h"

#include "recovery/LoggedCatalogue.h"
#include "reiserfs/build/AdvancedCatalogueBuild.h"
#include "reiserfs/build/QuickCatalogueBuild.h"

namespace vantrel {

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
  if (!request.recoveryLog.empty())
    return LoadLoggedCatalogue(request.recoveryLog, disk, watchers.messages, request.journal);

  const auto partition = ChoosePartition(disk, request.partition, watchers.search, watchers.messages);
  if (!partition) return partition.Failure();
  ChosenCatalogue chosen{.partition = {disk.disk, 0, {}, {}}, .diskIndex = disk.index, .diskModel = disk.model};
  chosen.partitions = partition->found.partitions;
  chosen.recoveryMode = partition->recoveryMode;
  const std::uint64_t start = partition->record.start;
  chosen.partition = {disk.disk, start, ReadPartitionSuperblock(disk.disk, start), request.journal};
  chosen.selectedSize = partition->record.size;
  const bool advanced = request.build == FileSearchKind::Advanced;
  chosen.fileSearch = advanced ? FileSearchKind::Advanced : FileSearchKind::Quick;
  chosen.source = advanced ? BodySource::Pieces : BodySource::Tree;
  chosen.catalogue = BuildCatalogue(chosen.partition, request.build, StopToken(), watchers.build);
  if (!advanced) watchers.messages.Tell(kAdvanceSearchHint, MessageStyle::Box);
  return chosen;
}

}  // namespace vantrel
