#pragma once
// The folder tree of the catalogue stage: its root "Root", and the fill from the catalogue.

#include "app/TreeModel.h"

namespace vantrel {

struct WizardState;

inline constexpr const char* kFolderTreeRootText = "Root";
inline constexpr int kFolderImage = 3;
inline constexpr int kFolderSelectedImage = 7;

// Replaces the folder tree by an empty one whose root is "Root", as the window does before
// a catalogue build.
void ReplaceFolderTree(WizardState& state);

// Inserts the catalogue's folders below rootItem as FolderLayout places them (the root
// folder's tree from parentId 2, then "Lost"), depth first, each item unchecked and
// expanded, and stores each item in its entry's treeItem. The catalogue progress bar
// follows the items inserted.
void AddFolderItems(WizardState& state, TreeItemHandle rootItem);

}  // namespace vantrel
