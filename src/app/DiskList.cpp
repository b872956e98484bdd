#include "app/DiskList.h"

#include "app/ControlIds.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"

namespace vantrel {

namespace key = diskinfo;

std::vector<EnumerationProblem> EnumerateDisks(WizardState& state, const std::vector<NamedDisk>& named,
                                               const std::string& sysBlockRoot) {
  const WizardStage stage = state.stage;
  state.stage = WizardStage::ListingDisks;
  WindowPort& window = state.Window();
  const TreeItemHandle root = window.TreeReset(TreeId::Disk, "My Computer");
  auto problems = OpenDisks(state.disks.names, state.disks.info, named, sysBlockRoot);
  for (std::size_t n = 0; n < state.disks.names.Count(); ++n)
    window.TreeInsert(TreeId::Disk, root, DiskNameTable::DiskName(n), 1, 1);
  window.TreeExpand(TreeId::Disk, root);
  state.stage = stage;
  return problems;
}

std::vector<std::string> DiskDetailsRows(const DiskInfoStore& store, int disk) {
  const std::string name = "Disk" + std::to_string(disk);
  std::vector<std::string> rows;
  const auto row = [&](const std::string& text) { rows.push_back(text); };
  row("Physical Disk Number : " + std::to_string(disk));
  row("Model   : " + store.Read(key::kModelKey, name));
  row("Media Type   : " + store.Read(key::kMediaTypeKey, name));
  row("Cylinder   : " + store.Read(key::kCylinderKey, name));
  row("Head   : " + store.Read(key::kHeadKey, name));
  row("SectorsPerTrack   : " + store.Read(key::kSectorsPerTrackKey, name));
  row("Disk Size  : " + std::to_string(store.ReadNumber(key::kSizeKey, name) / 1048576) + " MB");
  if (const std::string error = store.Read(key::kErrorKey, name); !error.empty())
    row("Error   : " + error);
  return rows;
}

void ShowDiskDetails(WizardState& state, int disk) {
  WindowPort& window = state.Window();
  window.ListRemoveAllRows(control::kDetailsList);
  for (const std::string& row : DiskDetailsRows(state.disks.info, disk)) window.ListInsertRow(control::kDetailsList, row);
  state.disks.selectedModel = state.disks.info.Read(key::kModelKey, DiskNameTable::DiskName(static_cast<std::size_t>(disk)));
}

}  // namespace vantrel
