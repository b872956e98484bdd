#include "cli/DisksCommand.h"

#include <iostream>
#include <nlohmann/json.hpp>

#include "app/DiskList.h"

namespace vantrel::cli {

namespace {

// What an array or a logical volume is made of, for `disks --json`.
nlohmann::json StackJson(const StackDescription& stack) {
  nlohmann::json json{{"kind", stack.kind},   {"stackName", stack.name},   {"uuid", stack.uuid},
                      {"level", stack.level}, {"chunk", stack.chunkBytes}, {"members", stack.members},
                      {"state", stack.state}, {"leftOut", stack.leftOut}};
  if (stack.kind == "md") json["layout"] = stack.layout;
  if (stack.kind == "lv") {
    json["volumeGroup"] = stack.volumeGroup;
    json["segments"] = stack.segments;
  }
  return json;
}

}  // namespace

int RunDisksCommand(CliSession& session, bool json) {
  const DiskNameTable& names = session.Disks();
  const DiskInfoStore& store = session.Info();
  nlohmann::json disks = nlohmann::json::array();
  bool allReadable = true;
  for (std::size_t n = 0; n < names.Count(); ++n) {
    const std::string name = DiskNameTable::DiskName(n);
    auto rows = DiskDetailsRows(store, static_cast<int>(n));
    const StackDescription* stack = StackOf(names, n);
    if (stack != nullptr)
      for (auto& row : StackDetailsRows(*stack)) rows.push_back(std::move(row));
    const std::string error = store.Read(diskinfo::kErrorKey, name);
    allReadable = allReadable && error.empty();
    if (json) {
      disks.push_back({{"index", n},
                       {"name", name},
                       {"path", names.Entry(n)->path},
                       {"model", store.Read(diskinfo::kModelKey, name)},
                       {"mediaType", store.Read(diskinfo::kMediaTypeKey, name)},
                       {"cylinders", store.ReadNumber(diskinfo::kCylinderKey, name)},
                       {"heads", store.ReadNumber(diskinfo::kHeadKey, name)},
                       {"sectorsPerTrack", store.ReadNumber(diskinfo::kSectorsPerTrackKey, name)},
                       {"size", store.ReadNumber(diskinfo::kSizeKey, name)},
                       {"details", rows},
                       {"error", error.empty() ? nlohmann::json(nullptr) : nlohmann::json(error)}});
      if (stack != nullptr) disks.back().update(StackJson(*stack));
      continue;
    }
    std::cout << name << "  " << names.Entry(n)->path << '\n';
    for (const auto& row : rows) std::cout << "  " << row << '\n';
  }
  if (json) std::cout << nlohmann::json{{"disks", disks}}.dump(2) << '\n';
  if (names.Count() == 0) std::cerr << "vantrel-cli: no disk found\n";
  for (const auto& problem : session.Problems()) std::cerr << "vantrel-cli: " << problem.text << '\n';
  for (const auto& note : session.StackNotes()) std::cerr << "vantrel-cli: " << note << '\n';
  return allReadable && session.Problems().empty() ? kSuccess : kDiskError;
}

}  // namespace vantrel::cli
