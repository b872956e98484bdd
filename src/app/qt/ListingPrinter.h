#pragma once
// Printing the directory listing: the standard print dialog (any printer, or a PDF file),
// then the pages as the listing's page layout places them, with the red header.

#include <string>
#include <vector>

class QPrinter;
class QWidget;

namespace vantrel::qt {

// Asks for a printer and prints the listing file (lines separated by 0xE6). False when the
// file cannot be read or the dialog was cancelled.
bool PrintListingFile(QWidget* parent, const std::string& path);

// Draws the lines onto an open printer; returns the number of pages.
int PaintListing(QPrinter& printer, const std::vector<std::string>& lines);

}  // namespace vantrel::qt
