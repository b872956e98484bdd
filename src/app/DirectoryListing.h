#pragma once
// The directory listing: one line per folder of the folder tree, in tree order, written as
// text (lines ended by CR LF) for viewing and mailing, or with 0xE6 after each line for
// printing.

#include <functional>
#include <iosfwd>
#include <string>

#include "app/TreeModel.h"
#include "reiserfs/catalogue/Catalogue.h"

namespace vantrel {

class WindowPort;
struct WizardState;

inline constexpr const char* kListingNeedsCatalogue = "Go to step 6 or step 7 and then use this option";
inline constexpr const char* kTextSeparator = "\r\n";
inline constexpr const char* kPrintSeparator = "\xE6";

// The line for a child item: the parent's path ("Root" for the tree's root), "-> ", and the
// child's text. A path beginning with "Partition" is shown as "Root Directory ".
std::string ListingLine(WindowPort& window, TreeItemHandle parent, TreeItemHandle child);

// Writes the lines for every folder below item, depth first, each followed by separator.
void WriteListing(WindowPort& window, TreeItemHandle item, const std::string& separator, std::ostream& out);
// The same lines for the folder tree a catalogue makes, without a window.
void WriteCatalogueListing(const Catalogue& catalogue, const std::string& separator, std::ostream& out);

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

// Writes a listing file as a new file: whatever lies at the name (a file or a link, never
// what a link points to) is removed first, and the file is created exclusively without
// following a link. False when it cannot be created.
bool WriteListingFile(WizardState& state, const std::string& path, const std::string& separator);
// The same for lines written to the stream as they are made, never held whole.
bool WriteListingStream(const std::string& path, const std::function<void(std::ostream&)>& write);
// The same for a text already made.
bool WriteListingText(const std::string& path, const std::string& text);

}  // namespace vantrel
