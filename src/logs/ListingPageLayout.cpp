#include "logs/ListingPageLayout.h"

namespace vantrel {

std::vector<std::string> SplitPrintListing(const std::string& content) {
  std::vector<std::string> lines;
  std::string line;
  for (const char c : content) {
    if (static_cast<unsigned char>(c) == 0xE6) {
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::vector<ListingPage> LayOutListing(const std::vector<std::string>& lines, const PrinterMetrics& metrics) {
  const int top = metrics.dotsPerInchY / 2;
  const int left = metrics.dotsPerInchX / 2;
  std::vector<ListingPage> pages;
  int y = top;
  for (const std::string& text : lines) {
    if (pages.empty() || y > metrics.pageHeight - top) {
      ListingPage page;
      page.number = static_cast<int>(pages.size()) + 1;
      const int headerY = top - metrics.lineAdvance * 3 / 2;
      page.title = {left, headerY, "Vantrel Log"};
      page.pageLabelRight = metrics.pageWidth - left;
      page.pageLabel = {page.pageLabelRight, headerY, std::to_string(page.number)};
      page.ruleY = top - metrics.lineAdvance / 2;
      page.ruleLeft = left;
      page.ruleRight = metrics.pageWidth - left;
      page.penWidth = metrics.dotsPerInchX / 100;
      pages.push_back(std::move(page));
      y = top;
    }
    pages.back().lines.push_back({left, y, text});
    y += metrics.lineAdvance;
  }
  return pages;
}

}  // namespace vantrel
