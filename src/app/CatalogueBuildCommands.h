#pragma once
// The catalogue builds run for the window on the current partition: the status rows, the
// progress bar and the Stop button while the build runs, then the catalogue handed to the
// wizard with its views, its folder tree and the root folder's rows.

#include <cstdint>

#include "disk/DiskReader.h"
#include "recovery/CatalogueChoice.h"
#include "reiserfs/catalogue/Catalogue.h"

namespace vantrel {

struct WizardState;
class WindowPort;

// The build's status in the details list (six labelled rows), the status text and the
// catalogue progress bar.
class WindowBuildStatus : public BuildStatusSink {
 public:
  explicit WindowBuildStatus(WindowPort& window) : window_(window) {}
  // Replaces the details list by the six labelled rows (columns 0 and 1 of widths 200 and
  // 300, four hidden columns).
  void SetUpRows();
  void ShowRow(std::size_t row, const std::string& text) override;
  void ShowStatusText(const std::string& text) override;
  void ShowProgress(int position) override;
  void OnLostFolderPass() override;

 private:
  WindowPort& window_;
};

// What a build needs, taken from the state before it starts.
struct CatalogueBuildJob {
  DiskReader disk;
  std::uint64_t startSector = 0;
  bool advanced = false;
  JournalOptions journal;
};

// On the window's thread: frees the previous catalogue, shows the progress bar (advanced)
// and the Stop button, clears stopRequested and sets up the status rows.
CatalogueBuildJob BeginCatalogueBuild(WizardState& state, bool advanced);
// On a worker: builds, then hands the catalogue to the wizard on the window's thread (its
// views, the folder tree, the next stage, the root folder's rows); the quick build then
// shows its hint.
void RunCatalogueBuild(WizardState& state, const CatalogueBuildJob& job);

// Both steps at once.
void QuickCatalogueBuild(WizardState& state);
void AdvancedCatalogueBuild(WizardState& state);

// Hands a finished catalogue to the wizard: the catalogue columns, the folder tree filled
// and enabled, and the catalogue-ready view. Used at the end of a build and of a log load.
void ShowCatalogue(WizardState& state);

}  // namespace vantrel
