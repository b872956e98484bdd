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
DiskListChange Relist(WizardState& state, const std::vector<NamedDisk>& named) {
  DiskListChange change{true, {}};
  for (const EnumerationProblem& problem : EnumerateDisks(state, named))
    change.message += (change.message.empty() ? "" : "\n") + problem.text;
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
  return change;
}

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
  std::string skipped;
  bool added = false;
  for (const std::string& path : paths) {
    const bool listed = std::any_of(named.begin(), named.end(),
                                    [&](const NamedDisk& disk) { return disk.path == path; });
    if (listed) continue;
    if (!IsImageFile(path)) {
      skipped += (skipped.empty() ? "" : "\n") + path + " is not a disk image file";
      continue;
    }
    if (named.size() >= DiskNameTable::kMaxDisks) {
      skipped += (skipped.empty() ? "" : "\n") + path + ": only " + std::to_string(DiskNameTable::kMaxDisks) +
                 " disks can be listed";
      continue;
    }
    named.push_back({path, {}});
    added = true;
  }
  if (!added) return {false, skipped};
  DiskListChange change = Relist(state, named);
  if (!skipped.empty()) change.message = skipped + (change.message.empty() ? "" : "\n" + change.message);
  return change;
}

bool IsListedImage(const WizardState& state, std::size_t disk) {
  const DiskEntry* entry = state.disks.names.Entry(disk);
  return entry != nullptr && entry->readsFrom.empty() && IsImageFile(entry->path);
}

DiskListChange RelistGivenDisks(WizardState& state, bool busy) {
  if (std::string refusal = Refusal(state, busy); !refusal.empty()) return {false, std::move(refusal)};
  return Relist(state, GivenDisks(state));
}

DiskListChange RemoveDiskImage(WizardState& state, bool busy, std::size_t disk) {
  if (std::string refusal = Refusal(state, busy); !refusal.empty()) return {false, std::move(refusal)};
  if (!IsListedImage(state, disk)) return {false, "Only a disk image file can be taken off the disk list."};
  const std::string path = state.disks.names.Entry(disk)->path;
  std::vector<NamedDisk> named = GivenDisks(state);
  std::erase_if(named, [&](const NamedDisk& given) { return given.path == path; });
  // With nothing named, the machine's disks are listed, as when the window starts so.
  return Relist(state, named);
}

}  // namespace vantrel
