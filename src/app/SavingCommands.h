#pragma once
// Saving for the window: the selection taken from what the user checked in the folder tree
// (SaveMode::CheckedInTree) or chose in the list (SaveMode::ChosenInList), counted for the "Calculating File Size"
// dialog, then saved with the "Saving" dialog's progress and the window's questions.

#include <cstddef>
#include <optional>

#include "recovery/SaveFolders.h"

namespace vantrel {

struct WizardState;

inline constexpr const char* kListSaveInvalidPath = "Invalid Path";
inline constexpr const char* kNoFolderSelected = "No folder selected, select folders from left window";
inline constexpr const char* kViewFileFailed = "Failed to open file \r\n Error Code 8";

// The checked folders of the folder tree with their selected files.
SaveSelection SelectionFromTree(WizardState& state);
// The list rows that the scope option takes, folders with everything below them.
SaveSelection SelectionFromList(WizardState& state);

// Fills totalFiles and totalBytes of the saving run for the selection of saveMode.
void CountSelection(WizardState& state);

// The whole run: flags cleared, the count, the save.
void RunSaving(WizardState& state);
// The part of the run after the count (for a window that counts in a dialog of its own).
void SaveCountedSelection(WizardState& state);

// After a run: its summary. A file cut short by the user's Stop has been removed (the run's
// abandon flag is set with the Stop); it is named in the summary.
void ReportSavingRun(WizardState& state);

void SaveCheckedFolders(WizardState& state);
void SaveListSelection(WizardState& state);

// The current catalogue's partition and where its file bodies are found.
PartitionSource CurrentPartitionSource(WizardState& state);
BodySource CurrentBodySource(const WizardState& state);

// Writes a file of the catalogue into the temporary folder and opens it with the desktop's
// program; a message when it cannot be created.
bool ViewFile(WizardState& state, const CatalogueEntry& file);

}  // namespace vantrel
