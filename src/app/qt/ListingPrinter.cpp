#include "app/qt/ListingPrinter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <fstream>
#include <sstream>

#include "logs/ListingPageLayout.h"

namespace vantrel::qt {

int PaintListing(QPrinter& printer, const std::vector<std::string>& lines) {
  QPainter painter(&printer);
  QFont font("Courier New", 10);
  painter.setFont(font);
  const QFontMetrics metrics(font, &printer);
  const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
  PrinterMetrics printerMetrics;
  printerMetrics.dotsPerInchX = printer.logicalDpiX();
  printerMetrics.dotsPerInchY = printer.logicalDpiY();
  printerMetrics.pageWidth = page.width();
  printerMetrics.pageHeight = page.height();
  printerMetrics.lineAdvance = metrics.height();
  const std::vector<ListingPage> pages = LayOutListing(lines, printerMetrics);
  const QColor red(Qt::red);
  bool first = true;
  for (const ListingPage& listingPage : pages) {
    if (!first) printer.newPage();
    first = false;
    painter.setPen(red);
    painter.drawText(listingPage.title.x, listingPage.title.y + metrics.ascent(),
                     QString::fromStdString(listingPage.title.text));
    const QString label = QString::fromStdString(listingPage.pageLabel.text);
    painter.drawText(listingPage.pageLabelRight - metrics.horizontalAdvance(label),
                     listingPage.pageLabel.y + metrics.ascent(), label);
    painter.setPen(QPen(red, std::max(1, listingPage.penWidth)));
    painter.drawLine(listingPage.ruleLeft, listingPage.ruleY, listingPage.ruleRight, listingPage.ruleY);
    painter.setPen(Qt::black);
    for (const PlacedLine& line : listingPage.lines)
      painter.drawText(line.x, line.y + metrics.ascent(), QString::fromStdString(line.text));
  }
  return static_cast<int>(pages.size());
}

bool PrintListingFile(QWidget* parent, const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream content;
  content << in.rdbuf();
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, parent);
  dialog.setWindowTitle("Print Directory Information");
  if (dialog.exec() != QDialog::Accepted) return false;
  PaintListing(printer, SplitPrintListing(content.str()));
  return true;
}

}  // namespace vantrel::qt
