// The parity of RAID5 and RAID6 rows: P and Q as the md driver computes them, and every
// data block rebuilt from what is left.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "stacks/Parity.h"

namespace vantrel::test {
namespace {

using Block = std::vector<std::byte>;

// Multiplication in GF(2^8) the long way, apart from the tables under test.
std::uint8_t SlowMultiply(std::uint8_t a, std::uint8_t b) {
  unsigned product = 0;
  unsigned x = a;
  for (int bit = 0; bit < 8; ++bit) {
    if (b & (1u << bit)) product ^= x;
    x <<= 1;
    if (x & 0x100) x ^= 0x11d;
  }
  return static_cast<std::uint8_t>(product);
}

std::vector<Block> RandomBlocks(std::size_t count, std::size_t bytes, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<Block> blocks(count, Block(bytes));
  for (Block& block : blocks)
    for (std::byte& b : block) b = static_cast<std::byte>(random() & 0xff);
  return blocks;
}

struct Row {
  std::vector<Block> data;
  Block p;
  Block q;
};

Row RowOf(std::size_t dataBlocks, std::size_t bytes, unsigned seed) {
  Row row{RandomBlocks(dataBlocks, bytes, seed), Block(bytes), Block(bytes)};
  std::vector<std::span<const std::byte>> spans(row.data.begin(), row.data.end());
  ComputeParity(spans, row.p, row.q);
  return row;
}

TEST(Parity, FieldArithmeticMatchesTheLongWay) {
  for (unsigned a = 0; a < 256; ++a)
    for (unsigned b = 0; b < 256; b += 7)
      ASSERT_EQ(GaloisMultiply(static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b)),
                SlowMultiply(static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b)));
  for (unsigned a = 1; a < 256; ++a)
    EXPECT_EQ(GaloisMultiply(static_cast<std::uint8_t>(a), GaloisInverse(static_cast<std::uint8_t>(a))), 1);
  EXPECT_EQ(GaloisPowerOfTwo(8), 0x1d);  // x^8 = x^4 + x^3 + x^2 + 1
}

TEST(Parity, QWeighsDataBlockIByTwoToTheI) {
  const Row row = RowOf(5, 64, 1);
  for (std::size_t byte = 0; byte < 64; ++byte) {
    std::uint8_t p = 0;
    std::uint8_t q = 0;
    std::uint8_t weight = 1;
    for (const Block& block : row.data) {
      p ^= std::to_integer<std::uint8_t>(block[byte]);
      q ^= SlowMultiply(weight, std::to_integer<std::uint8_t>(block[byte]));
      weight = SlowMultiply(weight, 2);
    }
    ASSERT_EQ(std::to_integer<std::uint8_t>(row.p[byte]), p);
    ASSERT_EQ(std::to_integer<std::uint8_t>(row.q[byte]), q);
  }
}

// Rebuilds the row with the given data blocks, and P or Q, taken away.
bool RebuildWithout(const Row& whole, const std::vector<std::size_t>& lostData, bool lostP, bool lostQ, bool withQ,
                    Row& rebuilt) {
  rebuilt = whole;
  StripeRow stripe;
  for (std::size_t i = 0; i < rebuilt.data.size(); ++i) {
    const bool lost = std::find(lostData.begin(), lostData.end(), i) != lostData.end();
    if (lost) std::fill(rebuilt.data[i].begin(), rebuilt.data[i].end(), std::byte{0x5a});
    stripe.data.push_back({rebuilt.data[i], !lost});
  }
  stripe.p = {rebuilt.p, !lostP};
  if (withQ) stripe.q = RowBlock{rebuilt.q, !lostQ};
  return RebuildMissingData(stripe);
}

TEST(Parity, Raid5RebuildsAnyOneDataBlockFromP) {
  const Row whole = RowOf(4, 4096, 2);
  for (std::size_t lost = 0; lost < 4; ++lost) {
    Row rebuilt;
    ASSERT_TRUE(RebuildWithout(whole, {lost}, false, false, false, rebuilt));
    EXPECT_EQ(rebuilt.data, whole.data) << "lost " << lost;
  }
  Row rebuilt;
  EXPECT_FALSE(RebuildWithout(whole, {0, 1}, false, false, false, rebuilt));
  EXPECT_FALSE(RebuildWithout(whole, {2}, true, false, false, rebuilt));
}

TEST(Parity, Raid6RebuildsEveryPairOfDataBlocksAndOneWithPGone) {
  const Row whole = RowOf(6, 1000, 3);  // a length that is no multiple of eight
  for (std::size_t x = 0; x < 6; ++x) {
    Row rebuilt;
    ASSERT_TRUE(RebuildWithout(whole, {x}, true, false, true, rebuilt)) << x;
    EXPECT_EQ(rebuilt.data, whole.data) << "data " << x << " and P lost";
    ASSERT_TRUE(RebuildWithout(whole, {x}, false, true, true, rebuilt));
    EXPECT_EQ(rebuilt.data, whole.data) << "data " << x << " and Q lost";
    for (std::size_t y = x + 1; y < 6; ++y) {
      ASSERT_TRUE(RebuildWithout(whole, {x, y}, false, false, true, rebuilt));
      EXPECT_EQ(rebuilt.data, whole.data) << "data " << x << " and " << y << " lost";
    }
  }
  Row rebuilt;
  EXPECT_FALSE(RebuildWithout(whole, {0, 1, 2}, false, false, true, rebuilt));
  EXPECT_FALSE(RebuildWithout(whole, {0, 1}, true, false, true, rebuilt));
  EXPECT_FALSE(RebuildWithout(whole, {4}, true, true, true, rebuilt));
}

}  // namespace
}  // namespace vantrel::test
