// Names a mounted folder shows when the disk's names cannot stand as they are.

#include "mount/ShownNames.h"

#include <gtest/gtest.h>

namespace vantrel::mount {
namespace {

TEST(ShownNames, NamesNoPathCanHoldBecomeShowable) {
  EXPECT_EQ(ShowableName("a/b"), "a_b");
  EXPECT_EQ(ShowableName(std::string_view("a\0b", 3)), "a_b");
  EXPECT_EQ(ShowableName(""), "_");
  EXPECT_EQ(ShowableName("."), "_");
  EXPECT_EQ(ShowableName(".."), "__");
  // Characters that only other systems refuse stay as they are.
  EXPECT_EQ(ShowableName("a:*?\"<>|\\b"), "a:*?\"<>|\\b");
}

TEST(ShownNames, LongNamesAreCutOnACharacterBoundary) {
  std::string name(254, 'x');
  name += "\xC3\xA9\xC3\xA9";  // two 2-byte characters: the first straddles byte 255
  const std::string shown = ShowableName(name);
  EXPECT_EQ(shown.size(), 254u);
  EXPECT_EQ(ShowableName(std::string(511, 'y')).size(), kMaxNameBytes);
}

TEST(ShownNames, SameNamesInAFolderAreToldApartAndUniqueNamesKept) {
  const std::vector<std::string> shown = DistinctNames({"report.txt", "a/b", "report.txt", "report (2).txt", "a_b"});
  EXPECT_EQ(shown[0], "report.txt");
  EXPECT_EQ(shown[1], "a_b");
  EXPECT_EQ(shown[2], "report (3).txt");  // "report (2).txt" is already an entry's own name
  EXPECT_EQ(shown[3], "report (2).txt");
  EXPECT_EQ(shown[4], "a_b (2)");
  // A numbered long name still fits.
  const std::string longName(255, 'z');
  const auto numbered = DistinctNames({longName, longName});
  EXPECT_EQ(numbered[1].size(), kMaxNameBytes);
  EXPECT_NE(numbered[0], numbered[1]);
}

}  // namespace
}  // namespace vantrel::mount
