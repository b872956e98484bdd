#include "recovery/LoggedCatalogue.h"

#include "logs/RecoveryLogFile.h"

namespace vantrel {

std::optional<RecoveryLog> DecodeLogForDisk(ByteSpan file, const std::string& diskModel, RecoveryMessages& messages,
                                            std::string& refusal) {
  const auto refuse = [&](const char* text, MessageStyle style) {
    messages.Tell(text, style);
    refusal = text;
    return std::nullopt;
  };
  const auto model = DecodeLogDiskModel(file);
  if (!model) return refuse(kDamagedLogMessage, MessageStyle::SystemError);
  if (*model != diskModel) return refuse(kWrongDiskMessage, MessageStyle::Box);
  auto log = DecodeRecoveryLog(file);
  if (!log) return refuse(kDamagedLogMessage, MessageStyle::SystemError);
  return log;
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

StepResult LoadLoggedCatalogue(const std::string& path, const DiskChoice& disk, RecoveryMessages& messages,
                               ChosenCatalogue& chosen, const JournalOptions& journal) {
  const auto refused = [&](const std::string& why) {
    return StepResult{StepOutcome::LogRefused, "the recovery log " + path + " was not loaded", why};
  };
  const auto bytes = ReadRecoveryLogFile(path);
  if (!bytes) {
    messages.Tell(kUnableToOpenFile, MessageStyle::SystemError);
    return refused(kUnableToOpenFile);
  }
  std::string refusal;
  auto log = DecodeLogForDisk(std::as_bytes(std::span(bytes->data(), bytes->size())), disk.model, messages, refusal);
  if (!log) return refused(refusal);
  chosen.recoveryMode = log->head.recoveryMode;
  chosen.fileSearchType = log->head.fileSearchType;
  chosen.source = log->head.fileSearchType == 2 ? BodySource::Pieces : BodySource::Tree;
  for (const LoggedPartition& partition : log->partitions)
    chosen.partitions.push_back({partition.size, partition.start});
  chosen.catalogue = LoadedCatalogue(std::move(log->catalogue));
  chosen.partition = {disk.disk, log->head.selected.start, chosen.catalogue.currentSuperblock, journal};
  chosen.selectedSize = log->head.selected.size;
  ReplayLoggedJournal(chosen, journal, messages);
  return {};
}

StepResult SaveLoggedCatalogue(const std::string& path, const ChosenCatalogue& chosen) {
  const RecoveryLogHead head{.diskModel = chosen.diskModel,
                             .recoveryMode = chosen.recoveryMode,
                             .fileSearchType = chosen.fileSearchType,
                             .diskIndex = static_cast<std::uint8_t>(chosen.diskIndex),
                             .selected = {chosen.selectedSize, chosen.partition.startSector}};
  std::vector<LoggedPartition> partitions;
  for (const PartitionRecord& record : chosen.partitions) partitions.push_back({record.size, record.start});
  const auto write = [&](std::ostream& out) { return WriteRecoveryLog(out, head, partitions, chosen.catalogue); };
  if (WriteRecoveryLogFile(path, write) != LogWriteResult::Written)
    return {StepOutcome::LogRefused, "no recovery log was written to " + path, {}};
  return {};
}

}  // namespace vantrel
