#pragma once
// What a saving run copies: the count before it, and the two walks. The tree-driven walk
// saves the checked folders of the folder tree with their selected files; the list-driven
// walk saves the rows of list 1001 that the scope option takes, folders with everything
// below them. Both mirror the catalogue's folders under the destination.

#include <filesystem>
#include <string>

namespace vantrel {

struct WizardState;

inline constexpr const char* kTreeSaveInvalidPath = "Inavalid Path";
inline constexpr const char* kListSaveInvalidPath = "Invalid Path";
inline constexpr const char* kNoFolderSelected = "No folder selected, select folders from left window";

// Fills totalFiles and totalBytes of the saving run for saveMode 1 (selected files) or 2
// (the list rows in scope).
void CountSelection(WizardState& state);

// The whole run: flags cleared, the count, the walk chosen by saveMode.
void RunSaving(WizardState& state);
// The part of the run after the count (for a window that counts in a dialog of its own).
void SaveCountedSelection(WizardState& state);

void SaveCheckedFolders(WizardState& state);
void SaveListSelection(WizardState& state);

// Creates every folder along path; failures (a folder that exists) are ignored.
void CreateFolders(const std::filesystem::path& path);

}  // namespace vantrel
