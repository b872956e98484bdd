#include "app/DiskList.h"

#include "app/ControlIds.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "disk/containers/ContainerDetailsRows.h"
#include "stacks/StackAssembly.h"
#include "stacks/StackDetailsRows.h"

namespace vantrel {

namespace key = diskinfo;

std::vector<EnumerationProblem> EnumerateDisks(WizardState& state, const std::vector<NamedDisk>& named,
                                               const std::string& sysBlockRoot) {
  const WizardStage stage = state.stage;
  state.stage = WizardStage::ListingDisks;
  WindowPort& window = state.Window();
  const TreeItemHandle root = window.TreeReset(TreeId::Disk, "My Computer");
  auto problems = OpenDisksAndStacks(state.disks.names, state.disks.info, named, sysBlockRoot).problems;
  for (std::size_t n = 0; n < state.disks.names.Count(); ++n)
    window.TreeInsert(TreeId::Disk, root, DiskNameTable::DiskName(n), 1, 1);
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
