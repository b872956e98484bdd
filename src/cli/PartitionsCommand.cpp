#include "cli/PartitionsCommand.h"

#include <iomanip>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/CatalogueSource.h"
#include "cli/RaidSearchOutput.h"
#include "recovery/PartitionChoice.h"

namespace vantrel::cli {

CLI::App* PartitionsCommand::AddTo(CLI::App& app) {
  auto* partitions = app.add_subcommand("partitions", "Search a disk for ReiserFS partitions");
  partitions->add_option("--disk-index", options_.diskIndex, "Disk to search (default 0)")->check(CLI::Range(0, 25));
  partitions
      ->add_option("--search", options_.search,
                   "quick (partition tables), advanced (every sector), "
                   "more (cylinder boundaries) or raid (the md arrays the given disks may have made, for members whose "
                   "superblocks are gone; the chosen one is then given with --raid)")
      ->check(CLI::IsMember({"quick", "advanced", "more", "raid"}));
  partitions->add_flag("--json", options_.json, "Print JSON only");
  AddExample(partitions, "vantrel-cli --disk /dev/sdb partitions --search advanced");
  return partitions;
}

int PartitionsCommand::Run(CliSession& session, const GlobalOptions& /*global*/) {
  if (options_.search == "raid") return RunRaidSearch(session, options_.json);
  const DiskChoice disk = session.Disk(options_.diskIndex);
  if (!disk.problem.empty()) return session.Report({StepOutcome::DiskUnreadable, disk.problem, {}});
  const PartitionSearchResult result = SearchDiskPartitions(disk, SearchKindOf(options_.search), StopToken(),
                                                            session.Progress(), session.Messages());
  session.FinishProgress();
  const auto& found = result.partitions;
  if (options_.json) {
    nlohmann::json partitions = nlohmann::json::array();
    for (std::size_t i = 0; i < found.size(); ++i)
      partitions.push_back({{"index", i}, {"start", found[i].start}, {"size", found[i].size}});
    std::cout << nlohmann::json{{"partitions", partitions}, {"messages", session.Messages().Texts()}}.dump(2) << '\n';
    return kSuccess;
  }
  std::cout << DiskNameTable::DiskName(static_cast<std::size_t>(options_.diskIndex)) << " (" << disk.path
            << "): " << found.size() << " ReiserFS partition(s) found by the " << options_.search << " search\n";
  const JournalOptions journal = session.Journal(options_.diskIndex);
  for (std::size_t i = 0; i < found.size(); ++i) {
    const PartitionRecord& record = found[i];
    std::cout << "  ReiserFS " << std::left << std::setw(4) << i << std::right << "  start " << std::setw(12)
              << record.start << "  size " << std::setw(12) << record.size << " sectors  " << std::setw(8)
              << record.size / 2048 << " MB\n";
    std::cout << "                " << JournalStateText(PartitionJournalState(disk.disk, record.start, journal)) << '\n';
  }
  return kSuccess;
}

}  // namespace vantrel::cli
