#include "app/ValueFields.h"

#include "app/RunSummaries.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"

namespace vantrel {

namespace {

constexpr int kSelectedDiskValue = 1049;
constexpr int kRangeValue = 1051;
constexpr int kFileSystemValue = 1053;
constexpr int kBootSectorsValue = 1055;
constexpr int kDirectoriesValue = 1057;
constexpr int kModeValue = 1059;
constexpr int kSearchModeValue = 1043;

}  // namespace

std::string FileSystemText(const ReiserSuperblock& superblock) {
  if (superblock.blockSize == 0) return {};
  const char* version = superblock.formatVersion >= 2 ? "3.6" : "3.5";
  return std::string("ReiserFS ") + version + ", " + std::to_string(superblock.blockSize / 1024) + " KB";
}

std::string ModeText(RecoveryMode mode) {
  switch (mode) {
    case RecoveryMode::QuickSearch: return "Quick Search";
    case RecoveryMode::AdvancedSearch: return "Advanced Search";
    case RecoveryMode::RawRecovery: return "Raw Recovery";
    case RecoveryMode::None: return {};
  }
  return {};
}

void ShowSelectedDisk(WizardState& state) {
  std::string text = state.disks.selectedLabel;
  if (const std::uint64_t sectors = state.disks.CurrentSectors(); sectors > 0)
    text += " (" + ByteCountText(sectors * 512) + ")";
  state.Window().SetControlText(kSelectedDiskValue, text);
}

void ShowSelectedMode(WizardState& state) { state.Window().SetControlText(kModeValue, ModeText(state.recoveryMode)); }

void ShowPartitionRange(WizardState& state) {
  const CurrentPartition& partition = state.currentPartition;
  std::string text;
  if (partition.sizeSectors > 0)
    text = std::to_string(partition.partitionStartSector) + " - " +
           std::to_string(partition.partitionStartSector + partition.sizeSectors - 1);
  state.Window().SetControlText(kRangeValue, text);
}

void ShowPartitionsFound(WizardState& state) {
  state.Window().SetControlText(kBootSectorsValue, std::to_string(state.partitionTable.count));
}

void ShowCatalogueValues(WizardState& state) {
  WindowPort& window = state.Window();
  window.SetControlText(kFileSystemValue, FileSystemText(state.catalogue.currentSuperblock));
  window.SetControlText(kDirectoriesValue, std::to_string(state.catalogue.folderList.size()));
  window.SetControlText(kSearchModeValue, state.fileSearchKind == FileSearchKind::Advanced
                                              ? "Advanced File/Folder Search"
                                              : "Quick File/Folder Search");
  ShowPartitionRange(state);
}

}  // namespace vantrel
