#include "cli/CatalogueSource.h"

#include <iostream>

#include "app/CatalogueBuildCommands.h"
#include "app/RecoveryLogCommands.h"
#include "cli/PartitionsCommand.h"
#include "logs/RecoveryLogFile.h"
#include "logs/RecoveryLogFormat.h"
#include "reiserfs/build/AdvancedCatalogueBuild.h"
#include "reiserfs/build/QuickCatalogueBuild.h"
#include "reiserfs/format/ReiserSuperblock.h"

namespace vantrel::cli {

namespace {

// The partition named by its start, or record n of a partition search.
std::optional<PartitionRecord> ChoosePartition(CliSession& session, const CatalogueOptions& options,
                                               ChosenCatalogue& chosen) {
  const DiskReader disk = session.Disk(options.diskIndex);
  if (options.start) {
    const std::uint64_t start = *options.start;
    const auto superblock = ReadSuperblock(disk, start);
    if (!superblock)
      std::cerr << "vantrel-cli: no ReiserFS superblock at sector " << start + kSuperblockSectorOffset
                << "; reading the partition at " << start << " anyway\n";
    const std::uint64_t size =
        superblock ? std::uint64_t{superblock->blockCount} * superblock->SectorsPerBlock() : 0;
    chosen.recoveryMode = 1;  // a partition named by its start is opened as Quick Search would
    return PartitionRecord{size, start};
  }
  chosen.recoveryMode = options.search == "advanced" ? 2 : 1;
  chosen.partitions = RunPartitionSearch(session, options.diskIndex, options.search).partitions;
  if (options.partition >= chosen.partitions.size()) {
    std::cerr << "vantrel-cli: there is no partition record " << options.partition << " ("
              << chosen.partitions.size() << " found by the " << options.search << " search)\n";
    return std::nullopt;
  }
  return chosen.partitions[options.partition];
}

void BuildCatalogue(CliSession& session, const CatalogueOptions& options, ChosenCatalogue& chosen) {
  HeadlessWindow& window = session.Window();
  WindowBuildStatus status(window);
  const bool advanced = options.fileSearch == "advanced";
  chosen.fileSearchType = advanced ? 2 : 1;
  chosen.source = advanced ? BodySource::Pieces : BodySource::Tree;
  chosen.catalogue = advanced ? BuildAdvancedCatalogue(chosen.partition, StopToken(), status)
                              : BuildQuickCatalogue(chosen.partition, StopToken(), status);
  window.FinishProgressLine();
  if (!advanced) window.ShowMessage(kAdvanceSearchHint);
}

// The partitions and the catalogue come from the log, which must have been made on a disk
// of the selected disk's model.
int LoadCatalogue(CliSession& session, ChosenCatalogue& chosen) {
  HeadlessWindow& window = session.Window();
  const std::string& path = session.RecoveryLog();
  const auto refuse = [&](const std::string& why) {
    std::cerr << "vantrel-cli: the recovery log " << path << " was not loaded";
    if (!session.PrintsMessages()) std::cerr << ": " << why;
    std::cerr << '\n';
    return kLogRefused;
  };
  const auto bytes = ReadRecoveryLogFile(path);
  if (!bytes) {
    window.SystemMessage(kUnableToOpenFile, SystemIcon::Error);
    return refuse(kUnableToOpenFile);
  }
  const ByteSpan file = std::as_bytes(std::span(bytes->data(), bytes->size()));
  const auto model = DecodeLogDiskModel(file);
  if (!model) {
    window.SystemMessage(kDamagedLogMessage, SystemIcon::Error);
    return refuse(kDamagedLogMessage);
  }
  if (*model != chosen.diskModel) {
    window.ShowMessage(kWrongDiskMessage);
    return refuse(kWrongDiskMessage);
  }
  auto log = DecodeRecoveryLog(file);
  if (!log) {
    window.SystemMessage(kDamagedLogMessage, SystemIcon::Error);
    return refuse(kDamagedLogMessage);
  }
  chosen.recoveryMode = log->head.recoveryMode;
  chosen.fileSearchType = log->head.fileSearchType;
  chosen.source = log->head.fileSearchType == 2 ? BodySource::Pieces : BodySource::Tree;
  for (const LoggedPartition& partition : log->partitions) chosen.partitions.push_back({partition.size, partition.start});
  chosen.catalogue = LoadedCatalogue(std::move(log->catalogue));
  chosen.partition = {session.Disk(chosen.diskIndex), log->head.selected.start, chosen.catalogue.currentSuperblock};
  chosen.selectedSize = log->head.selected.size;
  return kSuccess;
}

}  // namespace

void AddCatalogueOptions(CLI::App& command, CatalogueOptions& options) {
  command.add_option("--disk-index", options.diskIndex, "Disk to read (default 0)")->check(CLI::Range(0, 25));
  command.add_option("--partition", options.partition, "Record of the partition search to catalogue (default 0)");
  command.add_option("--search", options.search, "Partition search: quick (default), advanced or more")
      ->check(CLI::IsMember({"quick", "advanced", "more"}));
  command.add_option("--start", options.start, "Catalogue the partition that starts at this sector instead");
  command
      .add_option("--file-search", options.fileSearch,
                  "quick (default: the live tree) or advanced (every block, finds removed entries too)")
      ->check(CLI::IsMember({"quick", "advanced"}));
}

int ObtainCatalogue(CliSession& session, const CatalogueOptions& options) {
  if (!session.CheckDiskReadable(options.diskIndex)) return kDiskError;
  ChosenCatalogue chosen{.partition = {session.Disk(options.diskIndex), 0, {}}};
  chosen.diskIndex = static_cast<std::uint16_t>(options.diskIndex);
  chosen.diskModel = session.Info().Read(diskinfo::kModelKey,
                                         DiskNameTable::DiskName(static_cast<std::size_t>(options.diskIndex)));
  if (!session.RecoveryLog().empty()) {
    if (const int failed = LoadCatalogue(session, chosen); failed != kSuccess) return failed;
  } else {
    const auto partition = ChoosePartition(session, options, chosen);
    if (!partition) return kNotFound;
    const DiskReader disk = session.Disk(options.diskIndex);
    chosen.partition = {disk, partition->start, ReadPartitionSuperblock(disk, partition->start)};
    chosen.selectedSize = partition->size;
    BuildCatalogue(session, options, chosen);
  }
  session.Chosen() = std::move(chosen);
  return kSuccess;
}

}  // namespace vantrel::cli
