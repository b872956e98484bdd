#include "cli/PartitionsCommand.h"

#include <iomanip>
#include <iostream>
#include <nlohmann/json.hpp>

#include "app/PartitionList.h"
#include "app/PartitionSearchCommands.h"

namespace vantrel::cli {

PartitionSearchResult RunPartitionSearch(CliSession& session, int disk, const std::string& search) {
  HeadlessWindow& window = session.Window();
  SearchProgressBars progress(window);
  PartitionSearchResult result;
  if (search == "quick") {
    result = SearchPartitionTables(session.Disk(disk), progress);
  } else if (search == "advanced") {
    result = ScanSectorsForPartitions(session.Disk(disk), session.DiskSectors(disk), StopToken(), progress);
  } else {
    const std::string name = DiskNameTable::DiskName(static_cast<std::size_t>(disk));
    const DiskInfoStore& info = session.Info();
    const CylinderGeometry reported{info.ReadNumber(diskinfo::kCylinderKey, name),
                                    info.ReadNumber(diskinfo::kHeadKey, name),
                                    info.ReadNumber(diskinfo::kSectorsPerTrackKey, name)};
    result = SearchCylinderStarts(session.Disk(disk), reported, progress);
  }
  window.FinishProgressLine();
  if (result.tableFull) window.ShowMessage(kPartitionTableFullMessage);
  if (result.partitions.empty()) {
    if (search == "quick") window.ShowMessage(kQuickSearchFoundNothing);
    else if (search == "advanced") window.ShowMessage(kAdvancedSearchFoundNothing);
    else window.SystemMessage(kMoreSearchFoundNothing, SystemIcon::Error);
  }
  return result;
}

int RunPartitionsCommand(CliSession& session, const PartitionsOptions& options) {
  if (!session.CheckDiskReadable(options.diskIndex)) return kDiskError;
  const PartitionSearchResult result = RunPartitionSearch(session, options.diskIndex, options.search);
  const auto& found = result.partitions;
  if (options.json) {
    nlohmann::json partitions = nlohmann::json::array();
    for (std::size_t i = 0; i < found.size(); ++i)
      partitions.push_back({{"index", i}, {"start", found[i].start}, {"size", found[i].size}});
    std::cout << nlohmann::json{{"partitions", partitions}, {"messages", session.Window().MessageTexts()}}.dump(2)
              << '\n';
    return kSuccess;
  }
  std::cout << DiskNameTable::DiskName(static_cast<std::size_t>(options.diskIndex)) << " ("
            << session.Disks().Entry(options.diskIndex)->path << "): " << found.size()
            << " ReiserFS partition(s) found by the " << options.search << " search\n";
  for (std::size_t i = 0; i < found.size(); ++i) {
    const PartitionRecord& record = found[i];
    std::cout << "  ReiserFS " << std::left << std::setw(4) << i << std::right << "  start " << std::setw(12)
              << record.start << "  size " << std::setw(12) << record.size << " sectors  " << std::setw(8)
              << record.size / 2048 << " MB\n";
  }
  return kSuccess;
}

}  // namespace vantrel::cli
