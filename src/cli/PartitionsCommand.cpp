#include "cli/PartitionsCommand.h"

#include <iomanip>
#include <iostream>
#include <nlohmann/json.hpp>

#include "app/PartitionSearchCommands.h"

namespace vantrel::cli {

void RunPartitionSearch(WizardState& state, const std::string& search) {
  if (search == "quick") {
    state.recoveryMode = 1;
    ReplacePartitionTree(state);
    QuickSearch(state);
  } else if (search == "advanced") {
    state.recoveryMode = 2;
    ReplacePartitionTree(state);
    AdvancedSearch(state);
  } else {
    // The cylinder search runs from the partition list, after a search in the current mode.
    state.recoveryMode = 1;
    ReplacePartitionTree(state);
    SearchMorePartitions(state);
  }
}

int RunPartitionsCommand(CliSession& session, const PartitionsOptions& options) {
  if (!session.CheckDiskReadable(options.diskIndex)) return kDiskError;
  WizardState& state = session.State();
  state.CurrentDiskIndex = static_cast<std::uint16_t>(options.diskIndex);
  state.SelectedDiskText = DiskNameTable::DiskName(static_cast<std::size_t>(options.diskIndex));
  RunPartitionSearch(state, options.search);
  session.Window().FinishProgressLine();

  const PartitionTable& table = state.partitionTable;
  if (options.json) {
    nlohmann::json partitions = nlohmann::json::array();
    for (std::uint32_t i = 0; i < table.count; ++i)
      partitions.push_back({{"index", i}, {"start", table.records[i].start}, {"size", table.records[i].size}});
    std::cout << nlohmann::json{{"partitions", partitions}, {"messages", session.Window().MessageTexts()}}.dump(2)
              << '\n';
    return kSuccess;
  }
  std::cout << state.SelectedDiskText << " (" << state.diskNames.Entry(options.diskIndex)->path << "): "
            << table.count << " ReiserFS partition(s) found by the " << options.search << " search\n";
  for (std::uint32_t i = 0; i < table.count; ++i) {
    const PartitionRecord& record = table.records[i];
    std::cout << "  ReiserFS " << std::left << std::setw(4) << i << std::right << "  start " << std::setw(12)
              << record.start << "  size " << std::setw(12) << record.size << " sectors  " << std::setw(8)
              << record.size / 2048 << " MB\n";
  }
  return kSuccess;
}

}  // namespace vantrel::cli
