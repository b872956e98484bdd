#pragma once
// Moving through the catalogue at stage 2: a folder tree item's path and folder, showing a
// folder from the tree or from a list row, and opening a file row.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "app/TreeModel.h"

namespace vantrel {

struct CatalogueEntry;
struct WizardState;

// The texts of the item and its ancestors below the root, joined by "\" from the top
// down; a part that already ends with "\" gets no second one. The root gives "".
std::string ItemPath(WizardState& state, TreeItemHandle item);

// The key of the folder a folder tree item shows: its entry's objectId, 2 (the root folder)
// when no entry has the item.
std::uint32_t FolderKeyOfItem(const WizardState& state, TreeItemHandle item);

// Shows the item's folder: selects it, sets text 1047 to "\" and its path, fills the list.
void ShowFolderOfItem(WizardState& state, TreeItemHandle item);

// Opens row `row` of list 1001: a folder row shows its folder and expands the tree down to
// it; a file row hands its file entry to viewFile, which writes it to the temporary folder
// and opens it. Returns the folder item shown, or kNoTreeItem.
TreeItemHandle OpenCatalogueRow(WizardState& state, std::size_t row, bool upperCase,
                                const std::function<void(const CatalogueEntry&)>& viewFile);

}  // namespace vantrel
