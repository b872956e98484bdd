#include <gtest/gtest.h>

#include <numeric>

#include "app/ColumnWidths.h"

namespace vantrel::test {
namespace {

int Sum(const std::vector<int>& widths) { return std::accumulate(widths.begin(), widths.end(), 0); }

TEST(FitColumnWidths, WidthsThatFitAreKept) {
  EXPECT_EQ(FitColumnWidths({150, 100, 70}, {60, 40, 30}, 400), (std::vector<int>{150, 100, 70}));
  EXPECT_EQ(FitColumnWidths({500}, {100}, 500), std::vector<int>{500});
}

TEST(FitColumnWidths, CatalogueColumnsInANarrowViewKeepWhatTheirTextsNeed) {
  // Name, Type, Size, Date, Time, ID asked for 560 pixels; the view has 475.
  const std::vector<int> preferred{150, 100, 70, 100, 70, 70};
  const std::vector<int> needed{40, 90, 40, 80, 62, 58};
  const std::vector<int> widths = FitColumnWidths(preferred, needed, 475);
  EXPECT_LE(Sum(widths), 475);
  EXPECT_GE(Sum(widths), 475 - 6);  // rounding only
  for (std::size_t i = 0; i < widths.size(); ++i) {
    EXPECT_GE(widths[i], needed[i]) << i;
    EXPECT_LE(widths[i], preferred[i]) << i;
  }
  // The name, which asked for most beyond its need, gives up most.
  EXPECT_LT(widths[0], 150 - 40);
}

TEST(FitColumnWidths, NeedsBeyondTheAskedWidthAreNotGiven) {
  const std::vector<int> widths = FitColumnWidths({100, 100}, {300, 50}, 150);
  EXPECT_EQ(widths[0], 100);
  EXPECT_EQ(widths[1], 50);
}

TEST(FitColumnWidths, NeedsThatDoNotFitShrinkAlike) {
  const std::vector<int> widths = FitColumnWidths({200, 200}, {150, 50}, 100);
  EXPECT_EQ(widths, (std::vector<int>{75, 25}));
  EXPECT_EQ(FitColumnWidths({10, 10}, {0, 0}, 0), (std::vector<int>{0, 0}));
  EXPECT_EQ(FitColumnWidths({}, {}, 10), std::vector<int>{});
}

}  // namespace
}  // namespace vantrel::test
