#include "app/DiskList.h"

#include "app/ControlIds.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "disk/containers/ContainerDetailsRows.h"
#include "recovery/DiskStacks.h"

namespace vantrel {

namespace key = diskinfo;

namespace {

// An array or a logical volume is listed under the first given disk it reads; anything else
// (a given disk) under the root, which this gives as n itself.
std::size_t StackGroupOf(const DiskNameTable& names, std::size_t n) {
  const std::vector<std::string>& readsFrom = names.Entry(n)->readsFrom;
  if (readsFrom.empty()) return n;
  for (std::size_t m = 0; m < n; ++m)
    if (names.Entry(m)->readsFrom.empty() && names.Entry(m)->path == readsFrom.front()) return m;
  return n;
}

}  // namespace

std::vector<EnumerationProblem> EnumerateDisks(WizardState& state, const std::vector<NamedDisk>& named,
                                               const std::string& sysBlockRoot) {
  const WizardStage stage = state.stage;
  state.stage = WizardStage::ListingDisks;
  WindowPort& window = state.Window();
  const TreeItemHandle root = window.TreeReset(TreeId::Disk, "My Computer");
  auto problems =
      OpenDisksAndStacks(state.disks.names, state.disks.info, named, sysBlockRoot, state.disks.arraysByHand).problems;
  std::vector<TreeItemHandle> items;
  for (std::size_t n = 0; n < state.disks.names.Count(); ++n) {
    const std::size_t group = StackGroupOf(state.disks.names, n);
    const TreeItemHandle parent = group < n ? items[group] : root;
    items.push_back(window.TreeInsert(TreeId::Disk, parent, DiskNameTable::DiskName(n), 1, 1));
    if (parent != root) window.TreeExpand(TreeId::Disk, parent);
  }
  window.TreeExpand(TreeId::Disk, root);
  state.stage = stage;
  return problems;
}

void ShowDiskDetails(WizardState& state, int disk) {
  WindowPort& window = state.Window();
  window.ListRemoveAllRows(control::kDetailsList);
  for (const std::string& row : DiskDetailsRows(state.disks.info, disk))
    window.ListInsertRow(control::kDetailsList, row);
  if (const StackDescription* stack = StackOf(state.disks.names, static_cast<std::size_t>(disk)))
    for (const std::string& row : StackDetailsRows(*stack)) window.ListInsertRow(control::kDetailsList, row);
  if (ContainerSource* container = AsContainer(state.disks.names.Source(static_cast<std::size_t>(disk))))
    if (container->Size())
      for (const std::string& row : ContainerDetailsRows(container->Description()))
        window.ListInsertRow(control::kDetailsList, row);
  state.disks.selectedModel = state.disks.info.Read(key::kModelKey,
                                                    DiskNameTable::DiskName(static_cast<std::size_t>(disk)));
}

}  // namespace vantrel
