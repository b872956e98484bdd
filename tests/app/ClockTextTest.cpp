#include "app/ClockText.h"

#include <gtest/gtest.h>

namespace vantrel::test {
namespace {

TEST(ClockText, AfternoonHoursCountFromOneAndMidnightStaysZero) {
  EXPECT_EQ(ClockText(0, 5), "00:05");
  EXPECT_EQ(ClockText(12, 30), "12:30");
  EXPECT_EQ(ClockText(13, 0), "01:00");
  EXPECT_EQ(ClockText(23, 59), "11:59");
}

}  // namespace
}  // namespace vantrel::test
