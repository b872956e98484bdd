#pragma once
// The raw recovery step as the user drives it: the kind list and the results list, the
// choice between the entire disk and a sector range, the checks made before a run starts,
// and the Stop question while one runs, and the run itself with its progress in the panel.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "recovery/CarveDisk.h"

namespace vantrel {

struct WizardState;
class WindowPort;

inline constexpr const char* kInvalidEndSector = "Invalid End Sector";
inline constexpr const char* kInvalidStartSector = "Invalid Start Sector";
inline constexpr const char* kTerminateQuestion = "Do you want to terminate this process ?";
inline constexpr const char* kStartRecoveryText = "&Start Recovery";
inline constexpr const char* kStopSearchingText = "&Stop Searching";
inline constexpr const char* kFileTypesHeading = "File Types";
inline constexpr const char* kFilesRecoveredHeading = "                                   Files Recovered";

// Columns of the kind list (with its four rows, unchecked) and of the results list.
void SetUpRawRecoveryLists(WindowPort& window);

// The two range buttons.
void ChooseEntireDisk(WizardState& state);
void ChooseSectorRange(WizardState& state);

struct SectorRange {
  std::uint64_t start = 0;
  std::uint64_t end = 0;  // first sector after the range
};

// The range the panel stands for: the whole disk, or the two sector fields. A field that
// is not a sector number is refused with its message (and a refused End Sector is
// refilled with the disk's size).
std::optional<SectorRange> TakeRecoveryRange(WizardState& state);

// The "&Start Recovery" button: checks the kinds, the range and the destination chosen in
// the "File Saving" dialog, and puts the panel into its running state. True when the
// worker is to be started.
bool StartRawRecovery(WizardState& state);

// The same button while a run is going on: asks before stopping. True when the user
// confirmed; the worker stops at its next step and leaves the panel idle.
bool RequestRawRecoveryStop(WizardState& state);

// Enables or disables the wizard's controls that must not change during a run.
void EnableControlsForRun(WizardState& state, bool enabled);

// A run's progress in the panel: the sector searched, the bar and the results rows; a file
// that could not be written is reported in a message.
class RawPanelProgress : public RawRecoveryProgress {
 public:
  explicit RawPanelProgress(WindowPort& window) : window_(window) {}
  void OnSearching(std::uint64_t sector) override;
  void OnPercent(int percent) override;
  void OnWritingToDisk() override;
  void OnRangeDone() override;
  void OnResultsRows(const std::vector<std::string>& rows) override;
  void OnResultRow(std::size_t row, const std::string& text) override;
  void OnFailure(const std::string& text) override;

 private:
  WindowPort& window_;
};

// Runs on the worker thread after StartRawRecovery said yes: the range of the current disk
// carved into the destination, with the kinds checked in the list, its progress and
// results shown; the panel is left idle when the range is done or the user stopped.
void RunRawRecovery(WizardState& state);
// Leaves the panel idle after a run that ended: the bar hidden, Start and the controls
// enabled again.
void LeaveRawPanelIdle(WizardState& state);

}  // namespace vantrel
