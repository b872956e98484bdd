#pragma once
// Names from the disk made safe to create in the destination folder: no character that a
// path would take as a separator or that common file systems refuse, and no name that
// would climb out of its folder.

#include <string>
#include <string_view>

namespace vantrel {

// Replaces each of : * ? " < > | / \ (and NUL) by an underscore; ".", ".." and the empty
// name become "_", "__" and "_". Used for file and folder names alike.
std::string SafeName(std::string_view name);

}  // namespace vantrel
