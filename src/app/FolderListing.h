#pragma once
// The catalogue rows of list 1001: a folder's sub-folders, then its files, with the
// columns Name, Type, Size, Date, Time and ID.

#include <cstddef>
#include <cstdint>

#include "app/CatalogueRowCells.h"

namespace vantrel {

struct WizardState;

// Clears list 1001 and fills it with the rows of the folder whose entries have parentId
// key (2 is the root folder; the "Lost" key also lists the files whose parent folder is
// not in the catalogue). The rows are made as the list shows them.
void ShowFolder(WizardState& state, std::uint32_t key);

// Orders the rows of the folder shown by a column (a click on its heading): folders first,
// then files, each by the column's values. False when the list shows no folder.
bool SortFolderRows(WizardState& state, std::size_t column, bool descending);

}  // namespace vantrel
