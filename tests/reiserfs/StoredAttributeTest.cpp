// Extended attributes as the file system stores them: the folders named for their objects,
// the header of each attribute's file, and ACLs in the file system's own form turned into
// the values of the system's posix_acl xattrs, damaged ones refused.

#include <gtest/gtest.h>

#include <vector>

#include "reiserfs/format/StoredAttribute.h"

namespace vantrel {
namespace {

std::vector<std::byte> Bytes(std::initializer_list<int> values) {
  std::vector<std::byte> bytes;
  for (const int value : values) bytes.push_back(static_cast<std::byte>(value));
  return bytes;
}

TEST(StoredAttribute, FolderNamesGiveObjectAndGeneration) {
  const auto owner = ParseAttributeFolderName("1F.A0B1");
  ASSERT_TRUE(owner);
  EXPECT_EQ(owner->objectId, 0x1Fu);
  EXPECT_EQ(owner->generation, 0xA0B1u);
  for (const char* name : {"1f.0", "1F", ".0", "1F.", "1F.0.0", "123456789.0", "G.0", "+1.0", "1F.-1"})
    EXPECT_FALSE(ParseAttributeFolderName(name)) << name;
}

TEST(StoredAttribute, ValueFollowsAHeaderWithTheMagicNumber) {
  const auto file = Bytes({0x41, 0x58, 0x46, 0x52, 1, 2, 3, 4, 'o', 'p', 's'});
  const auto value = StoredAttributeValue(file);
  ASSERT_TRUE(value);
  EXPECT_EQ(std::vector<std::byte>(value->begin(), value->end()), Bytes({'o', 'p', 's'}));
  EXPECT_TRUE(StoredAttributeValue(std::span(file).first(8)));  // an empty value
  EXPECT_FALSE(StoredAttributeValue(std::span(file).first(7)));
  auto wrong = file;
  wrong[0] = std::byte{0x42};
  EXPECT_FALSE(StoredAttributeValue(wrong));
}

TEST(StoredAttribute, AclsBecomePosixValuesWithAnIdForEveryEntry) {
  // user::rwx, user:1010:--x, group::--x, mask::--x, other::--x (as the kernel stored it).
  const auto stored = Bytes(
      {1, 0, 0, 0, 0x01, 0, 7, 0, 0x02, 0, 1, 0, 0xF2, 3, 0, 0, 0x04, 0, 1, 0, 0x10, 0, 1, 0, 0x20, 0, 1, 0});
  const auto posix = PosixAclValue(stored);
  ASSERT_TRUE(posix);
  EXPECT_EQ(*posix, Bytes({2, 0,    0,    0,    1,    0,    7,    0, 0xFF, 0xFF, 0xFF, 0xFF, 2,    0,    1,
                           0, 0xF2, 3,    0,    0,    4,    0,    1, 0,    0xFF, 0xFF, 0xFF, 0xFF, 0x10, 0,
                           1, 0,    0xFF, 0xFF, 0xFF, 0xFF, 0x20, 0, 1,    0,    0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(*PosixAclValue(Bytes({1, 0, 0, 0})), Bytes({2, 0, 0, 0}));
  // A named entry cut short, a short entry cut short, an unknown tag, another version.
  EXPECT_FALSE(PosixAclValue(std::span(stored).first(14)));
  EXPECT_FALSE(PosixAclValue(std::span(stored).first(6)));
  EXPECT_FALSE(PosixAclValue(Bytes({1, 0, 0, 0, 0x40, 0, 7, 0})));
  EXPECT_FALSE(PosixAclValue(Bytes({2, 0, 0, 0, 0x01, 0, 7, 0})));
  EXPECT_FALSE(PosixAclValue(Bytes({1, 0, 0})));
}

}  // namespace
}  // namespace vantrel
