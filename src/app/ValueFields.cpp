#include "app/ValueFields.h"

#include <charconv>
#include <optional>

#include "app/ControlIds.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"
#include "base/ByteCountText.h"

namespace vantrel {

using namespace control;

namespace {

// "first - last", both sectors inclusive; empty for an empty range.
std::string RangeText(std::uint64_t first, std::uint64_t end) {
  if (end <= first) return {};
  return std::to_string(first) + " - " + std::to_string(end - 1);
}

// A sector field as typed: decimal digits only, else nothing.
std::optional<std::uint64_t> TypedSector(const std::string& text) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

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

std::string SearchModeText(FileSearchKind kind, bool stopped) {
  std::string text = kind == FileSearchKind::Advanced ? "Advanced File/Folder Search" : "Quick File/Folder Search";
  if (stopped) text += kStoppedSearchSuffix;
  return text;
}

void ShowSelectedDisk(WizardState& state) {
  // The disk the label names, not the one read last: Next has not chosen it yet.
  std::string text = state.disks.selectedLabel;
  if (const std::uint64_t bytes = state.disks.SizeOfLabel(text); bytes > 0) text += " (" + ByteCountText(bytes) + ")";
  state.Window().SetControlText(kSelectedDiskValue, text);
}

void ShowSelectedMode(WizardState& state) { state.Window().SetControlText(kModeValue, ModeText(state.recoveryMode)); }

void ShowPartitionRange(WizardState& state) {
  const CurrentPartition& partition = state.currentPartition;
  state.Window().SetControlText(kRangeValue, RangeText(partition.partitionStartSector,
                                                       partition.partitionStartSector + partition.sizeSectors));
}

void ShowRawRange(WizardState& state) {
  WindowPort& window = state.Window();
  std::optional<std::uint64_t> first = 0;
  std::optional<std::uint64_t> end = state.disks.CurrentSectors();
  if (window.IsChecked(kRawSectorRange)) {
    first = TypedSector(window.ControlText(kRawStartSector));
    end = TypedSector(window.ControlText(kRawEndSector));
  }
  window.SetControlText(kRangeValue, first && end ? RangeText(*first, *end) : std::string());
}

void ShowPartitionsFound(WizardState& state) {
  state.Window().SetControlText(kBootSectorsValue, std::to_string(state.partitionTable.count));
}

void ShowCatalogueValues(WizardState& state) {
  WindowPort& window = state.Window();
  // A recovery log brings its own mode and partitions.
  ShowSelectedMode(state);
  ShowPartitionsFound(state);
  window.SetControlText(kFileSystemValue, FileSystemText(state.catalogue.currentSuperblock));
  window.SetControlText(kDirectoriesValue, std::to_string(state.catalogue.folderList.size()));
  window.SetControlText(kSearchModeValue, SearchModeText(state.fileSearchKind, state.catalogue.stopped));
  ShowPartitionRange(state);
}

}  // namespace vantrel
