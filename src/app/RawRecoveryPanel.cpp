#include "app/RawRecoveryPanel.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <filesystem>

#include "app/ControlIds.h"
#include "app/WindowMessages.h"
#include "app/WindowPort.h"
#include "app/WizardState.h"

namespace vantrel {

namespace {

constexpr int kKindListWidth = 260;
constexpr int kResultsListWidth = 440;

// A sector field: decimal digits only. Sector numbers are 64-bit, so that ranges on
// disks of 2 TiB and more can be given.
std::optional<std::uint64_t> ParseSector(const std::string& text) {
  std::uint64_t value = 0;
  const char* end = text.data() + text.size();
  if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc{} || stop != end) return std::nullopt;
  return value;
}

// The kinds checked in the list.
std::array<bool, kKindCount> CheckedKinds(WindowPort& window) {
  std::array<bool, kKindCount> kinds{};
  for (std::size_t kind = 0; kind < kinds.size(); ++kind)
    kinds[kind] = window.ListRowChecked(control::kRawFileTypesList, kind);
  return kinds;
}

}  // namespace

void SetUpRawRecoveryLists(WindowPort& window) {
  window.ListRemoveAllRows(control::kRawFileTypesList);
  window.ListRemoveAllColumns(control::kRawFileTypesList);
  window.ListInsertColumn(control::kRawFileTypesList, {kFileTypesHeading, kKindListWidth, ColumnAlignment::Left});
  for (int kind = 0; kind < kKindCount; ++kind)
    window.ListInsertRow(control::kRawFileTypesList, std::string(KindTexts(static_cast<RawFileKind>(kind)).listRow));
  window.ListRemoveAllRows(control::kRawResultsList);
  window.ListRemoveAllColumns(control::kRawResultsList);
  window.ListInsertColumn(control::kRawResultsList,
                          {kFilesRecoveredHeading, kResultsListWidth, ColumnAlignment::Center});
}

void ChooseEntireDisk(WizardState& state) {
  WindowPort& window = state.Window();
  window.SetChecked(control::kRawEntireDisk, true);
  window.SetChecked(control::kRawSectorRange, false);
  for (const int edit : {control::kRawStartSector, control::kRawEndSector}) {
    window.SetControlText(edit, "");
    window.EnableControl(edit, false);
  }
}

void ChooseSectorRange(WizardState& state) {
  WindowPort& window = state.Window();
  window.SetChecked(control::kRawSectorRange, true);
  window.SetChecked(control::kRawEntireDisk, false);
  for (const int id :
       {control::kRawStartSector, control::kRawEndSector, control::kRawStartLabel, control::kRawEndLabel})
    window.EnableControl(id, true);
  window.SetControlText(control::kRawStartSector, "0");
  window.SetControlText(control::kRawEndSector, std::to_string(state.disks.CurrentSectors()));
}

std::optional<SectorRange> TakeRecoveryRange(WizardState& state) {
  WindowPort& window = state.Window();
  if (!window.IsChecked(control::kRawSectorRange)) return SectorRange{0, state.disks.CurrentSectors()};
  const auto end = ParseSector(window.ControlText(control::kRawEndSector));
  if (!end) {
    window.SystemMessage(kInvalidEndSector, SystemIcon::Error);
    window.SetControlText(control::kRawEndSector, std::to_string(state.disks.CurrentSectors()));
    return std::nullopt;
  }
  const auto start = ParseSector(window.ControlText(control::kRawStartSector));
  if (!start) {
    window.SystemMessage(kInvalidStartSector, SystemIcon::Error);
    return std::nullopt;
  }
  return SectorRange{*start, *end};
}

bool StartRawRecovery(WizardState& state) {
  WindowPort& window = state.Window();
  WindowMessages messages(window);
  CarveRequest request{.kinds = CheckedKinds(window)};
  if (!CheckCarveKinds(request, state.rawRecovery.exactSizes, messages).Done()) return false;
  const auto range = TakeRecoveryRange(state);
  if (!range) return false;
  request.start = range->start;
  request.end = range->end;
  const DiskChoice disk = state.disks.CurrentChoice();
  if (!CheckCarveRange(request, disk.sectors, messages).Done()) return false;
  state.destinationPath = window.AskDestinationFolder();
  if (state.destinationPath.empty()) return false;
  if (const StepResult checked = CheckDiskAndDestination(disk, state.destinationPath); !checked.Done()) {
    window.SystemMessage(checked.text, SystemIcon::Error);
    return false;
  }
  if (!CheckCarveDestination(state.destinationPath, messages).Done()) return false;
  window.SetControlText(control::kRawStartButton, kStopSearchingText);
  EnableControlsForRun(state, false);
  window.SetControlText(control::kRawStatus, "Searching Disk - " + std::to_string(state.disks.currentIndex));
  state.rawRecovery.requests.stop = 0;
  state.rawRecovery.running.store(true);
  return true;
}

bool RequestRawRecoveryStop(WizardState& state) {
  RawRecoveryState& raw = state.rawRecovery;
  if (!raw.running.load()) return false;
  if (!state.Window().AskAboutRun(kTerminateQuestion, [&raw] { return raw.running.load(); })) return false;
  raw.requests.stop = 1;
  return true;
}

void EnableControlsForRun(WizardState& state, bool enabled) {
  WindowPort& window = state.Window();
  for (const int id : {control::kBackButton, control::kRawEntireDisk, control::kRawSectorRange,
                       control::kRawFileTypesList, control::kRawExactSizes})
    window.EnableControl(id, enabled);
  // The sector fields are live only in sector range mode.
  const bool fields = enabled && window.IsChecked(control::kRawSectorRange);
  for (const int id :
       {control::kRawStartSector, control::kRawEndSector, control::kRawStartLabel, control::kRawEndLabel})
    window.EnableControl(id, fields);
}

namespace {

constexpr const char* kCompletedSuffix = " % Completed";

void BecomeIdle(WizardState& state) {
  WindowPort& window = state.Window();
  window.SetControlText(control::kRawStartButton, kStartRecoveryText);
  window.SetControlText(control::kRawStatus, "");
  EnableControlsForRun(state, true);
  state.rawRecovery.requests.stop = 0;
  state.rawRecovery.running.store(false);
}

}  // namespace

void LeaveRawPanelIdle(WizardState& state) {
  WindowPort& window = state.Window();
  window.SetProgress(control::kRawProgress, 0);
  window.ShowControl(control::kRawProgress, false);
  BecomeIdle(state);
}

void RawPanelProgress::OnSearching(std::uint64_t sector) {
  window_.SetControlText(control::kRawStatus, CarveSearchingText(sector));
}

void RawPanelProgress::OnPercent(int percent) {
  window_.SetProgress(control::kRawProgress, percent);
  window_.SetControlText(control::kRawProgress, std::to_string(percent) + kCompletedSuffix);
}

void RawPanelProgress::OnWritingToDisk() { window_.SetControlText(control::kRawStatus, kWritingFilesText); }

void RawPanelProgress::OnRangeDone() {
  window_.SetControlText(control::kRawProgress, std::string("0") + kCompletedSuffix);
}

void RawPanelProgress::OnResultsRows(const std::vector<std::string>& rows) {
  window_.ListRemoveAllRows(control::kRawResultsList);
  for (const std::string& row : rows) window_.ListInsertRow(control::kRawResultsList, row);
}

void RawPanelProgress::OnResultRow(std::size_t row, const std::string& text) {
  window_.ListSetCell(control::kRawResultsList, row, 0, text);
}

void RawPanelProgress::OnFailure(const std::string& text) { window_.SystemMessage(text, SystemIcon::Error); }

void RunRawRecovery(WizardState& state) {
  WindowPort& window = state.Window();
  RawRecoveryState& raw = state.rawRecovery;
  raw.run = RawRecoveryRun{};
  raw.report = RawRecoveryReport{};
  // The last run's totals stay shown until this one starts.
  window.ListRemoveAllRows(control::kRawResultsList);
  const auto range = TakeRecoveryRange(state);
  if (!range) return LeaveRawPanelIdle(state);
  if (range->start > range->end) {
    window.SystemMessage(kInvalidStartSector, SystemIcon::Error);
    return LeaveRawPanelIdle(state);
  }
  window.ShowControl(control::kRawProgress, true);
  const CarveRequest request{.start = range->start,
                             .end = range->end,
                             .kinds = CheckedKinds(window),
                             .destination = state.destinationPath};
  RawPanelProgress progress(window);
  CarveChecked(state.disks.CurrentChoice(), request, raw, progress);
  if (!raw.report.stopped) return LeaveRawPanelIdle(state);
  window.ShowControl(control::kRawProgress, false);
  window.SetControlText(control::kRawProgress, std::string("0") + kCompletedSuffix);
  BecomeIdle(state);
}

}  // namespace vantrel
