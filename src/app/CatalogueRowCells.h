#pragma once
// The catalogue rows of list 1001 as the window shows them: the cells come from the
// catalogue (a folder row's ID is its tree item), with the images of folder and file rows.

#include "reiserfs/catalogue/CatalogueRowCells.h"

namespace vantrel {

inline constexpr int kFolderRowImage = 1;
inline constexpr int kFileRowImage = 19;

}  // namespace vantrel
