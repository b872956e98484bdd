// The directory listing printed into a PDF file, as "Print to File" in the print dialog does.

#include "app/qt/ListingPrinter.h"

#include <gtest/gtest.h>

#include <QPrinter>
#include <fstream>
#include <string>

#include "support/TempDir.h"

namespace vantrel::test {
namespace {

TEST(ListingPrinter, LongListingFillsSeveralPagesOfAPdf) {
  TempDir dir;
  const std::string pdf = (dir / "listing.pdf").string();
  std::vector<std::string> lines;
  for (int i = 0; i < 300; ++i) lines.push_back("Root-> folder " + std::to_string(i));
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf));
  EXPECT_GT(qt::PaintListing(printer, lines), 1);
  std::ifstream in(pdf, std::ios::binary);
  std::string head(4, '\0');
  in.read(head.data(), 4);
  EXPECT_EQ(head, "%PDF");
}

}  // namespace
}  // namespace vantrel::test
