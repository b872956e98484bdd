#include "app/PartitionList.h"

#include "app/ControlIds.h"
#include "app/SettingsDialog.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "recovery/CatalogueChoice.h"

namespace vantrel {

bool AddPartitionRecord(WizardState& state, std::uint64_t start, std::uint64_t size) {
  PartitionTable& table = state.partitionTable;
  if (table.count >= PartitionTable::kCapacity) return false;
  ListedPartition& record = table.records[table.count];
  record.size = size;
  record.start = start;
  WindowPort& window = state.Window();
  const TreeItemHandle root = window.TreeRoot(TreeId::Partition);
  record.treeItem = window.TreeInsert(TreeId::Partition, root, "ReiserFS " + std::to_string(table.count), 1, 1);
  window.TreeExpand(TreeId::Partition, root);
  ++table.count;
  return true;
}

bool IsPartitionListed(const PartitionTable& table, std::uint64_t start, std::uint64_t size) {
  for (std::uint32_t i = 0; i < table.count && i < PartitionTable::kCapacity; ++i)
    if (table.records[i].start == start && table.records[i].size == size) return true;
  return false;
}

void ReplacePartitionTree(WizardState& state) {
  state.Window().TreeReset(TreeId::Partition, "Disk " + std::to_string(state.disks.currentIndex));
}

bool SelectPartition(WizardState& state, std::uint32_t index) {
  const PartitionTable& table = state.partitionTable;
  if (index >= table.count) return false;
  const ListedPartition& record = table.records[index];
  state.currentPartition = {record.start, record.size, static_cast<int>(index)};
  WindowPort& window = state.Window();
  window.TreeSelect(TreeId::Partition, record.treeItem);
  window.EnableControl(control::kNextButton, true);
  window.ListRemoveAllRows(control::kDetailsList);
  window.ListInsertRow(control::kDetailsList, "Partition Start     :   " + std::to_string(record.start));
  window.ListInsertRow(control::kDetailsList, "Partition Size      :   " + std::to_string(record.size / 2048) + " MB");
  window.ListInsertRow(control::kDetailsList,
                       JournalStateText(PartitionJournalState(state.disks.Current(), record.start,
                                                              JournalOptionsOf(state.saving.options))));
  return true;
}

bool SelectPartitionItem(WizardState& state, TreeItemHandle item) {
  if (state.stage != WizardStage::Partitions) return false;
  if (state.Window().TreeText(TreeId::Partition, item).rfind("Disk", 0) == 0) return false;
  const PartitionTable& table = state.partitionTable;
  for (std::uint32_t i = 0; i < table.count; ++i)
    if (table.records[i].treeItem == item) return SelectPartition(state, i);
  return false;
}

}  // namespace vantrel
