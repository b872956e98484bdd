#pragma once
// The listing: one line per folder of the folder tree, in tree order, "parent-> folder",
// where the parent is the path of folder names from the top joined with "\\" ("Root" for
// the tree's root). It is written as text (lines ended by CR LF) for viewing and mailing,
// or with 0xE6 after each line for printing.

#include <iosfwd>
#include <string>
#include <vector>

#include "base/NameDecoder.h"
#include "reiserfs/catalogue/Catalogue.h"

namespace vantrel {

inline constexpr const char* kListingRootText = "Root";
inline constexpr const char* kTextSeparator = "\r\n";
inline constexpr const char* kPrintSeparator = "\xE6";

// The folder names from the top down to a parent, joined with "\\" (a name that already
// ends in "\\" gets none added).
std::string ListingPath(const std::vector<std::string>& fromTop);

// The line for a child: the parent's path, "-> ", and the child's name. A path beginning
// with "Partition" is shown as "Root Directory ".
std::string ListingLine(std::string parentPath, const std::string& child);

// Writes the lines for every folder of the tree a catalogue makes, depth first, each
// followed by separator, the names decoded by names.
void WriteCatalogueListing(const Catalogue& catalogue, const std::string& separator, std::ostream& out,
                           const NameDecoder& names = {});

}  // namespace vantrel
