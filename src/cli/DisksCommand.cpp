#include "cli/DisksCommand.h"

#include <iostream>
#include <nlohmann/json.hpp>

#include "disk/DiskDetailsRows.h"
#include "disk/containers/ContainerDetailsRows.h"
#include "disk/containers/StoredHashCheck.h"
#include "recovery/DiskStacks.h"

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

// What a container holds, for `disks --json`.
nlohmann::json ContainerJson(const ContainerDescription& container) {
  nlohmann::json hashes = nlohmann::json::object();
  for (const auto& [name, value] : container.storedHashes) hashes[name] = value;
  return {{"format", ImageKindName(container.kind)},
          {"formatDetail", container.detail},
          {"files", container.files},
          {"storedHashes", hashes}};
}

// The rows that tell how the check of the stored hashes went.
std::vector<std::string> VerificationRows(const StoredHashCheck& check) {
  std::vector<std::string> rows;
  if (check.hashes.empty()) rows.emplace_back("Verification   : the image stores no hash to check");
  for (const HashComparison& hash : check.hashes)
    rows.push_back("Verified " + hash.name + "   : " +
                   (hash.matches ? "matches" : "MISMATCH (read " + hash.computed + ")"));
  if (check.unreadableBytes > 0)
    rows.push_back("Unreadable   : " + std::to_string(check.unreadableBytes / 512) + " sectors in damaged chunks");
  return rows;
}

nlohmann::json VerificationJson(const StoredHashCheck& check) {
  nlohmann::json hashes = nlohmann::json::array();
  for (const HashComparison& hash : check.hashes)
    hashes.push_back(
        {{"name", hash.name}, {"stored", hash.stored}, {"computed", hash.computed}, {"matches", hash.matches}});
  return {{"passed", check.Passed()}, {"hashes", hashes}, {"unreadableBytes", check.unreadableBytes}};
}

}  // namespace

CLI::App* DisksCommand::AddTo(CLI::App& app) {
  auto* disks = app.add_subcommand("disks", "List the disks and their details");
  disks->add_flag("--json", json_, "Print JSON");
  disks->add_flag("--verify", verify_, "Read each image that stores hashes (E01) whole and check them");
  AddExample(disks, "vantrel-cli disks --json");
  AddExample(disks, "vantrel-cli --disk evidence.E01 disks --verify");
  return disks;
}

int DisksCommand::Run(CliSession& session, const GlobalOptions& /*global*/) {
  const bool json = json_;
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
    ContainerSource* container = AsContainer(names.Source(n));
    if (container != nullptr && container->Size())
      for (auto& row : ContainerDetailsRows(container->Description())) rows.push_back(std::move(row));
    std::optional<StoredHashCheck> check;
    if (verify_ && container != nullptr && container->Size()) {
      check = CheckStoredHashes(*container);
      for (auto& row : VerificationRows(*check)) rows.push_back(std::move(row));
      // An image that stores no hash has nothing to fail.
      allReadable = allReadable && (check->hashes.empty() || check->Passed());
    }
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
      if (container != nullptr && container->Size())
        disks.back()["container"] = ContainerJson(container->Description());
      if (check) disks.back()["verification"] = VerificationJson(*check);
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
