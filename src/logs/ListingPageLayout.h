#pragma once
// Where each line of a printed directory listing goes: pages, the red page header with
// "Vantrel Log" and the page number, and the lines below a half-inch margin. The printer
// code draws what this computes.

#include <string>
#include <vector>

namespace vantrel {

struct PrinterMetrics {
  int dotsPerInchX = 600;
  int dotsPerInchY = 600;
  int pageWidth = 0;   // printable area, device pixels
  int pageHeight = 0;
  int lineAdvance = 0;  // character height + internal leading
};

struct PlacedLine {
  int x = 0;
  int y = 0;
  std::string text;
};

struct ListingPage {
  int number = 0;
  PlacedLine title;      // "Vantrel Log" at (left margin, top margin - 1.5 line advances)
  PlacedLine pageLabel;  // the page number, its right edge at pageLabelRight
  int pageLabelRight = 0;
  int ruleY = 0;         // the red rule from the left margin to pageWidth - left margin
  int ruleLeft = 0;
  int ruleRight = 0;
  int penWidth = 0;      // dots per inch / 100
  std::vector<PlacedLine> lines;
};

// Splits the content of a print listing file at its 0xE6 separators; a last line without a
// separator is printed too.
std::vector<std::string> SplitPrintListing(const std::string& content);

std::vector<ListingPage> LayOutListing(const std::vector<std::string>& lines, const PrinterMetrics& metrics);

}  // namespace vantrel
