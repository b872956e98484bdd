#include "cli/CatalogueSource.h"

#include <iostream>

#include "app/FolderTree.h"
#include "cli/PartitionsCommand.h"
#include "app/RecoveryLogCommands.h"
#include "app/CatalogueBuildCommands.h"
#include "app/PartitionList.h"
#include "reiserfs/ReiserSuperblock.h"

namespace vantrel::cli {

namespace {

bool ChoosePartition(CliSession& session, const CatalogueOptions& options) {
  WizardState& state = session.State();
  if (options.start) {
    const std::uint64_t start = *options.start;
    const auto superblock = ReadSuperblock(DiskReader(state.reader, state.CurrentDiskIndex), start);
    if (!superblock)
      std::cerr << "vantrel-cli: no ReiserFS superblock at sector " << start + kSuperblockSectorOffset
                << "; reading the partition at " << start << " anyway\n";
    const std::uint64_t size =
        superblock ? std::uint64_t{superblock->blockCount} * superblock->SectorsPerBlock() : 0;
    state.currentPartition = {start, size, -1};
    state.recoveryMode = 1;  // a partition named by its start is opened as Quick Search would
    return true;
  }
  RunPartitionSearch(state, options.search);
  session.Window().FinishProgressLine();
  if (!SelectPartition(state, options.partition)) {
    std::cerr << "vantrel-cli: there is no partition record " << options.partition << " ("
              << state.partitionTable.count << " found by the " << options.search << " search)\n";
    return false;
  }
  return true;
}

void BuildCatalogue(CliSession& session, const CatalogueOptions& options) {
  WizardState& state = session.State();
  state.wizardStage = 1;  // the partition list stage, where Next starts a build
  ReplaceFolderTree(state);
  if (options.fileSearch == "advanced") {
    state.fileSearchType = 2;
    AdvancedCatalogueBuild(state);
  } else {
    state.fileSearchType = 1;
    QuickCatalogueBuild(state);
  }
  session.Window().FinishProgressLine();
}

// Load Log at stage 0 with the selected disk: the partitions and the catalogue come from
// the log.
int LoadCatalogue(CliSession& session) {
  WizardState& state = session.State();
  state.wizardStage = 0;
  session.Window().AnswerFileDialogsWith(session.RecoveryLog());
  if (LoadRecoveryLog(state) == LogLoadOutcome::Loaded) return kSuccess;
  const auto& messages = session.Window().MessageTexts();
  std::cerr << "vantrel-cli: the recovery log " << session.RecoveryLog() << " was not loaded";
  if (!session.PrintsMessages() && !messages.empty()) std::cerr << ": " << messages.back();
  std::cerr << '\n';
  return kLogRefused;
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
  WizardState& state = session.State();
  state.CurrentDiskIndex = static_cast<std::uint16_t>(options.diskIndex);
  state.SelectedDiskText = DiskNameTable::DiskName(static_cast<std::size_t>(options.diskIndex));
  ShowDiskDetails(state, options.diskIndex);  // the disk's model, as a click on it would
  if (!session.RecoveryLog().empty()) return LoadCatalogue(session);
  if (!ChoosePartition(session, options)) return kNotFound;
  BuildCatalogue(session, options);
  return kSuccess;
}

}  // namespace vantrel::cli
