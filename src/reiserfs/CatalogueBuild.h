#pragma once
// What the quick and the advanced catalogue builds share: the start (an empty catalogue
// holding only "Lost", the status rows, the partition's superblock), the conversion of an
// object record into a catalogue entry, the lost-folder pass, and the hand-over of the
// finished catalogue to the wizard.

#include "reiserfs/BuildStatus.h"
#include "reiserfs/Catalogue.h"

namespace vantrel {

struct WizardState;

inline constexpr const char* kAdvanceSearchHint =
    "If you don't find all the folder(s) here, use \"Advance Search\" option in previous menu";
inline constexpr const char* kSearchingLostText = "Searching Lost Directories. Please Wait...";

// Frees the previous catalogue, shows (or hides) the progress bar, shows and enables
// "Stop Searching", clears StopRequested, sets up the status rows, appends the "Lost"
// folder and reads the current partition's superblock into the catalogue.
void BeginCatalogueBuild(WizardState& state, BuildStatus& status, bool showProgressBar);

// A folder entry when the mode has the folder bit, else a file entry; parentId is the
// record's dirId, folderId the folder whose entry named it.
void ConvertObject(WizardState& state, BuildStatus& status, const ObjectRecord& record);

// Hands every folder whose parent folder is not in the catalogue to "Lost" (parentId
// kLostFolderId). Files keep their parentId.
void LostFolderPass(WizardState& state, BuildStatus& status);

// Hands a finished catalogue to the wizard: the catalogue columns, the folder tree filled
// and enabled, and the catalogue-ready view. Used at the end of a build and of a log load.
void ShowCatalogue(WizardState& state);

// The end of every build: the lost-folder pass, StopRequested cleared, the catalogue views,
// the folder tree filled, the next wizard stage and the root folder's rows; the quick build
// then shows its hint.
void FinishCatalogueBuild(WizardState& state, BuildStatus& status, bool showHint);

}  // namespace vantrel
