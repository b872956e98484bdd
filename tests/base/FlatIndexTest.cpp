// The flat index behind the advanced build's record look-ups: every key found with its
// value through any number of growths, keys that collide in the low or the high half kept
// apart, and a key given again taking the new value.

#include <gtest/gtest.h>

#include "base/FlatIndex.h"

namespace vantrel::test {
namespace {

TEST(FlatIndex, FindsEveryKeyThroughGrowthAndNothingElse) {
  FlatIndex index;
  EXPECT_FALSE(index.Find(0));
  // (objectId << 32 | dirId) keys as the builds make them: runs of neighbouring ids, and
  // ids that differ only in the upper half.
  std::vector<std::uint64_t> keys;
  for (std::uint64_t id = 1; id <= 20000; ++id) keys.push_back((id << 32) | 2);
  for (std::uint64_t dir = 1; dir <= 5000; ++dir) keys.push_back((std::uint64_t{30000} << 32) | dir);
  keys.push_back(0);
  keys.push_back(~std::uint64_t{0});
  for (std::size_t i = 0; i < keys.size(); ++i) index.Insert(keys[i], static_cast<std::uint32_t>(i));
  EXPECT_EQ(index.Size(), keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) ASSERT_EQ(index.Find(keys[i]), i) << keys[i];
  EXPECT_FALSE(index.Find((std::uint64_t{20001} << 32) | 2));
  EXPECT_FALSE(index.Find((std::uint64_t{30000} << 32) | 5001));
}

TEST(FlatIndex, AKeyGivenAgainTakesTheNewValue) {
  FlatIndex index;
  index.Insert(42, 1);
  index.Insert(42, 9);
  EXPECT_EQ(index.Size(), 1u);
  EXPECT_EQ(index.Find(42), 9u);
}

}  // namespace
}  // namespace vantrel::test
