#pragma once
// The folders named by their paths turned into what a saving run copies, as checking them
// in the folder tree would: each with everything below it, and the folders above them made
// on the way, without their files.

#include <optional>
#include <string>
#include <vector>

#include "base/Result.h"
#include "reiserfs/catalogue/Catalogue.h"
#include "saving/SafeName.h"
#include "saving/SaveSelection.h"

namespace vantrel {

// A front end that makes its own selection (the folder tree's check boxes) names its
// folders as HoldableName does.

// "there is no folder PATH in the catalogue".
std::string NoSuchFolderText(const std::string& path);

// The selection of the folders at paths ("/"-separated from the root; "" or "/" is the root);
// no path at all selects the whole root and "Lost". A path that names no folder is
// NotFound.
Result<SaveSelection> SelectFoldersAtPaths(const Catalogue& catalogue, const std::vector<std::string>& paths);

}  // namespace vantrel
