// Names a mounted folder shows when two entries of a folder would show one name.

#include "mount/ShownNames.h"

#include "saving/SafeName.h"

#include <gtest/gtest.h>

namespace vantrel::mount {
namespace {

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
