#include "recovery/LoggedCatalogue.h"

#include "logs/RecoveryLogFile.h"

namespace vantrel {

Result<RecoveryLog> DecodeLogForDisk(ByteSpan file, const std::string& diskModel, RecoveryMessages& messages) {
  const auto refuse = [&](const char* text, MessageStyle style) {
    messages.Tell(text, style);
    return Error{ErrorKind::Rejected, text, text};
  };
  const auto model = DecodeLogDiskModel(file);
  if (!model) return refuse(kDamagedLogMessage, MessageStyle::SystemError);
  if (*model != diskModel) return refuse(kWrongDiskMessage, MessageStyle::Box);
  auto log = DecodeRecoveryLog(file);
  if (!log) return refuse(kDamagedLogMessage, MessageStyle::SystemError);
  return std::move(*log);
}

namespace {

// The quick build's catalogue read its blocks through the replayed journal, and its files
// are read so again; an advanced build's pieces name where each copy lies, read as it lies.
void ReplayLoggedJournal(ChosenCatalogue& chosen, const JournalOptions& options, RecoveryMessages& messages) {
  JournalState& logged = chosen.catalogue.journal;
  if (logged.outcome != JournalOutcome::Replayed || chosen.source != BodySource::Tree) return;
  JournalOptions replay = options;
  replay.replay = true;
  JournalState again = ReadPartitionJournal(chosen.partition.disk, chosen.partition.startSector,
                                            chosen.catalogue.currentSuperblock, replay)
                           .journal;
  if (again.outcome != JournalOutcome::Replayed || again.transactions != logged.transactions) {
    messages.Tell(kJournalChangedMessage, MessageStyle::Box);
    return;
  }
  logged = std::move(again);
}

}  // namespace

Result<ChosenCatalogue> LoadLoggedCatalogue(const std::string& path, const DiskChoice& disk, RecoveryMessages& messages,
                                            const JournalOptions& journal) {
  const auto refused = [&](const std::string& why) {
    return Error{ErrorKind::Rejected, "the recovery log " + path + " was not loaded", why};
  };
  const auto bytes = ReadRecoveryLogFile(path);
  if (!bytes) {
    messages.Tell(kUnableToOpenFile, MessageStyle::SystemError);
    return refused(kUnableToOpenFile);
  }
  auto log = DecodeLogForDisk(std::as_bytes(std::span(bytes->data(), bytes->size())), disk.model, messages);
  if (!log) return refused(log.Failure().reason);
  ChosenCatalogue chosen{.partition = {disk.disk, 0, {}, {}}, .diskIndex = disk.index, .diskModel = disk.model};
  chosen.recoveryMode = log->head.recoveryMode;
  chosen.fileSearch = static_cast<FileSearchKind>(log->head.fileSearchType);  // the numbers logs store
  chosen.source = chosen.fileSearch == FileSearchKind::Advanced ? BodySource::Pieces : BodySource::Tree;
  for (const LoggedPartition& partition : log->partitions)
    chosen.partitions.push_back({partition.size, partition.start});
  chosen.catalogue = LoadedCatalogue(std::move(log->catalogue));
  chosen.partition = {disk.disk, log->head.selected.start, chosen.catalogue.currentSuperblock, journal};
  chosen.selectedSize = log->head.selected.size;
  ReplayLoggedJournal(chosen, journal, messages);
  return chosen;
}

LogWriteResult WriteLoggedCatalogue(const std::string& path, const RecoveryLogHead& head,
                                    const std::vector<LoggedPartition>& partitions, const Catalogue& catalogue) {
  return WriteRecoveryLogFile(path,
                              [&](std::ostream& out) { return WriteRecoveryLog(out, head, partitions, catalogue); });
}

StepResult SaveLoggedCatalogue(const std::string& path, const ChosenCatalogue& chosen) {
  const RecoveryLogHead head{.diskModel = chosen.diskModel,
                             .recoveryMode = chosen.recoveryMode,
                             .fileSearchType = static_cast<std::uint16_t>(chosen.fileSearch),
                             .diskIndex = static_cast<std::uint8_t>(chosen.diskIndex),
                             .selected = {chosen.selectedSize, chosen.partition.startSector}};
  std::vector<LoggedPartition> partitions;
  for (const PartitionRecord& record : chosen.partitions) partitions.push_back({record.size, record.start});
  if (WriteLoggedCatalogue(path, head, partitions, chosen.catalogue) != LogWriteResult::Written)
    return {StepOutcome::LogRefused, "no recovery log was written to " + path, {}};
  return {};
}

}  // namespace vantrel
