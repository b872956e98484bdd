#pragma once
// The listing of the window's folder tree: viewed, printed or mailed from the menu, written
// into a private folder of the run.

#include <iosfwd>
#include <string>

#include "app/TreeModel.h"
#include "logs/ListingFile.h"
#include "logs/ListingLines.h"

namespace vantrel {

class WindowPort;
struct WizardState;

inline constexpr const char* kListingNeedsCatalogue = "Go to step 6 or step 7 and then use this option";

// The line for a child item: the parent's path ("Root" for the tree's root), "-> ", and the
// child's text. A path beginning with "Partition" is shown as "Root Directory ".
std::string ListingLine(WindowPort& window, TreeItemHandle parent, TreeItemHandle child);

// Writes the lines for every folder below item, depth first, each followed by separator.
void WriteListing(WindowPort& window, TreeItemHandle item, const std::string& separator, std::ostream& out);

// Where the listing files are written: a private folder of this run (mode 0700, made with
// mkdtemp inside the temporary folder on first use), never a fixed name in a shared
// folder. Empty when the private folder cannot be made.
std::string ListingTextPath(WizardState& state);
std::string ListingPrintPath(WizardState& state);

// True when a catalogue is shown (the Catalogue stage, with a folder tree); otherwise tells the user.
bool ListingAvailable(WizardState& state);

// The View command: writes the text listing and opens it with the desktop's default program.
// False when there is no catalogue or the file cannot be written.
bool ViewListing(WizardState& state);

// Removes the run's private folder of listing files and what it holds (at exit), when it is
// still the folder made for this run.
void RemoveListingFolder(WizardState& state);

// Writes the listing of the folder tree to path as a new file (see WriteListingStream).
// False when it cannot be created.
bool WriteListingFile(WizardState& state, const std::string& path, const std::string& separator);

}  // namespace vantrel
