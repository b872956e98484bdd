#include "app/DiskImages.h"

#include <sys/stat.h>

#include <algorithm>

#include "app/ControlIds.h"
#include "app/DiskList.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"

namespace vantrel {

namespace {

bool IsImageFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Why the list may not change now, or empty when it may.
std::string Refusal(const WizardState& state, bool busy) {
  if (busy) return "Wait until the running search or save has finished, or stop it, to change the disk list.";
  if (state.stage != WizardStage::DiskAndMode) return "Go back to the first step to change the disk list.";
  return {};
}

// Lists the disks again, nothing chosen: the numbers of the disks after a change may differ.
// Returns the problems met, as the enumeration tells them.
std::vector<EnumerationProblem> Relist(WizardState& state, const std::vector<NamedDisk>& named) {
  std::vector<EnumerationProblem> problems = EnumerateDisks(state, named);
  WindowPort& window = state.Window();
  state.disks.selectedLabel.clear();
  state.disks.selectedModel.clear();
  state.recoveryMode = RecoveryMode::None;
  window.ListRemoveAllRows(control::kDetailsList);
  for (const int id : {control::kQuickSearchMode, control::kAdvancedSearchMode, control::kRawRecoveryMode}) {
    window.SetChecked(id, false);
    window.EnableControl(id, false);
  }
  window.EnableControl(control::kNextButton, false);
  return problems;
}

void AddLine(std::string& text, const std::string& line) { text += (text.empty() ? "" : "\n") + line; }

}  // namespace

std::vector<NamedDisk> GivenDisks(const WizardState& state) {
  std::vector<NamedDisk> given;
  const DiskNameTable& names = state.disks.names;
  for (std::size_t n = 0; n < names.Count(); ++n)
    if (const DiskEntry* entry = names.Entry(n); entry != nullptr && entry->readsFrom.empty())
      given.push_back({entry->path, entry->mapfile});
  return given;
}

DiskListChange AddDiskImages(WizardState& state, bool busy, const std::vector<std::string>& paths) {
  if (std::string refusal = Refusal(state, busy); !refusal.empty()) return {false, std::move(refusal)};
  std::vector<NamedDisk> named = GivenDisks(state);
  std::string message;
  std::vector<std::string> added;
  for (const std::string& path : paths) {
    const bool listed = std::any_of(named.begin(), named.end(),
                                    [&](const NamedDisk& disk) { return disk.path == path; });
    if (listed) continue;
    if (!IsImageFile(path)) {
      AddLine(message, path + " is not a disk image file");
      continue;
    }
    if (named.size() >= DiskNameTable::kMaxDisks) {
      AddLine(message, path + ": only " + std::to_string(DiskNameTable::kMaxDisks) + " disks can be listed");
      continue;
    }
    named.push_back({path, {}});
    added.push_back(path);
  }
  if (added.empty()) return {false, message};
  // Only what is wrong with the images added is news: the other disks were listed so before.
  for (const EnumerationProblem& problem : Relist(state, named)) {
    const DiskEntry* entry = problem.disk < 0 ? nullptr
                                              : state.disks.names.Entry(static_cast<std::size_t>(problem.disk));
    const bool aboutAdded = std::any_of(added.begin(), added.end(), [&](const std::string& path) {
      return entry != nullptr ? entry->path == path : problem.text.find(path) != std::string::npos;
    });
    if (aboutAdded) AddLine(message, problem.text);
  }
  return {true, message};
}

bool IsListedImage(const WizardState& state, std::size_t disk) {
  const DiskEntry* entry = state.disks.names.Entry(disk);
  return entry != nullptr && entry->readsFrom.empty() && IsImageFile(entry->path);
}

DiskListChange RelistGivenDisks(WizardState& state, bool busy) {
  if (std::string refusal = Refusal(state, busy); !refusal.empty()) return {false, std::move(refusal)};
  std::string message;
  for (const EnumerationProblem& problem : Relist(state, GivenDisks(state))) AddLine(message, problem.text);
  return {true, message};
}

DiskListChange RemoveDiskImage(WizardState& state, bool busy, std::size_t disk) {
  if (std::string refusal = Refusal(state, busy); !refusal.empty()) return {false, std::move(refusal)};
  if (!IsListedImage(state, disk)) return {false, "Only a disk image file can be taken off the disk list."};
  const std::string path = state.disks.names.Entry(disk)->path;
  std::vector<NamedDisk> named = GivenDisks(state);
  std::erase_if(named, [&](const NamedDisk& given) { return given.path == path; });
  // With nothing named, the machine's disks are listed, as when the window starts so.
  Relist(state, named);
  return {true, {}};
}

}  // namespace vantrel
