// Sizes as the window and the console's details show them.

#include "base/ByteCountText.h"

#include <gtest/gtest.h>

namespace vantrel::test {
namespace {

TEST(ByteCountText, KeepsOneDecimalAndNeverRoundsASizeUpToTheNextWholeUnit) {
  EXPECT_EQ(ByteCountText(0), "0 bytes");
  EXPECT_EQ(ByteCountText(1023), "1023 bytes");
  EXPECT_EQ(ByteCountText(1024), "1.0 KB");
  // An image of 1.95 MiB is neither "1 MB" nor "2.0 MB".
  EXPECT_EQ(ByteCountText(2044723), "1.9 MB");
  EXPECT_EQ(ByteCountText((2ull << 20) - 1), "1.9 MB");
  EXPECT_EQ(ByteCountText(64ull << 20), "64.0 MB");
  EXPECT_EQ(ByteCountText(3ull << 30), "3.0 GB");
  EXPECT_EQ(ByteCountText(5ull << 40), "5.0 TB");
  // The largest count a disk can report does not overflow on the way.
  EXPECT_EQ(ByteCountText(~0ull), "16777215.9 TB");
}

}  // namespace
}  // namespace vantrel::test
