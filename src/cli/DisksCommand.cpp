#include "cli/DisksCommand.h"

#include <iostream>
#include <nlohmann/json.hpp>

#include "app/ControlIds.h"

namespace vantrel::cli {

int RunDisksCommand(CliSession& session, bool json) {
  WizardState& state = session.State();
  nlohmann::json disks = nlohmann::json::array();
  bool allReadable = true;
  for (std::size_t n = 0; n < state.diskNames.Count(); ++n) {
    const std::string name = DiskNameTable::DiskName(n);
    ShowDiskDetails(state, static_cast<int>(n));
    const auto rows = session.Window().List(control::kDetailsList).FirstCells();
    const std::string error = state.diskInfo.Read(diskinfo::kErrorKey, name);
    allReadable = allReadable && error.empty();
    if (json) {
      const DiskInfoStore& store = state.diskInfo;
      disks.push_back({{"index", n},
                       {"name", name},
                       {"path", state.diskNames.Entry(n)->path},
                       {"model", store.Read(diskinfo::kModelKey, name)},
                       {"mediaType", store.Read(diskinfo::kMediaTypeKey, name)},
                       {"cylinders", store.ReadNumber(diskinfo::kCylinderKey, name)},
                       {"heads", store.ReadNumber(diskinfo::kHeadKey, name)},
                       {"sectorsPerTrack", store.ReadNumber(diskinfo::kSectorsPerTrackKey, name)},
                       {"size", store.ReadNumber(diskinfo::kSizeKey, name)},
                       {"details", rows},
                       {"error", error.empty() ? nlohmann::json(nullptr) : nlohmann::json(error)}});
      continue;
    }
    std::cout << name << "  " << state.diskNames.Entry(n)->path << '\n';
    for (const auto& row : rows) std::cout << "  " << row << '\n';
  }
  if (json) std::cout << nlohmann::json{{"disks", disks}}.dump(2) << '\n';
  if (state.diskNames.Count() == 0) std::cerr << "vantrel-cli: no disk found\n";
  for (const auto& problem : session.Problems()) std::cerr << "vantrel-cli: " << problem.text << '\n';
  return allReadable && session.Problems().empty() ? kSuccess : kDiskError;
}

}  // namespace vantrel::cli
