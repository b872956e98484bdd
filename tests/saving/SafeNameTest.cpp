// Names made fit for a destination: what every destination needs, what the safe name adds,
// and how a taken name is numbered.

#include "saving/SafeName.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(SafeName, NamesNoPathCanHoldBecomeHoldableAndEveryOtherByteStays) {
  EXPECT_EQ(HoldableName("a/b"), "a_b");
  EXPECT_EQ(HoldableName(std::string_view("a\0b", 3)), "a_b");
  EXPECT_EQ(HoldableName(""), "_");
  EXPECT_EQ(HoldableName("."), "_");
  EXPECT_EQ(HoldableName(".."), "__");
  EXPECT_EQ(HoldableName("..."), "...");
  // Maildir flags, characters only other systems refuse, and bytes that are not UTF-8.
  EXPECT_EQ(HoldableName("1291234567.M0P1000.mx0,S=180:2,S"), "1291234567.M0P1000.mx0,S=180:2,S");
  EXPECT_EQ(HoldableName("a:*?\"<>|\\b"), "a:*?\"<>|\\b");
  EXPECT_EQ(HoldableName("r\xe9ponse.txt"), "r\xe9ponse.txt");
}

TEST(SafeName, TheSafeNameAlsoReplacesWhatFatAndNtfsRefuse) {
  EXPECT_EQ(SafeName("1291234567.M0P1000.mx0,S=180:2,S"), "1291234567.M0P1000.mx0,S=180_2,S");
  EXPECT_EQ(SafeName("a:*?\"<>|\\/b"), "a_________b");
  EXPECT_EQ(SafeName(".."), "__");
  EXPECT_EQ(SafeName("r\xe9ponse.txt"), "r\xe9ponse.txt");
  EXPECT_EQ(Utf8SafeName("r\xe9ponse?.txt"), "r_ponse_.txt");
  EXPECT_EQ(Utf8SafeName("r\xc3\xa9ponse.txt"), "r\xc3\xa9ponse.txt");
}

TEST(SafeName, LongNamesAreCutOnACharacterBoundary) {
  std::string name(254, 'x');
  name += "\xC3\xA9\xC3\xA9";  // two 2-byte characters: the first straddles byte 255
  EXPECT_EQ(HoldableName(name).size(), 254u);
  EXPECT_EQ(SafeName(std::string(511, 'y')).size(), kMaxNameBytes);
}

TEST(SafeName, NumbersGoBeforeTheExtensionAndKeepTheLengthLimit) {
  EXPECT_EQ(NumberedName("a_b.txt", 2), "a_b (2).txt");
  EXPECT_EQ(NumberedName("dir_one", 3), "dir_one (3)");
  EXPECT_EQ(NumberedName(".profile", 2), ".profile (2)");
  const std::string numbered = NumberedName(std::string(250, 'z') + ".txt", 12);
  EXPECT_EQ(numbered.size(), kMaxNameBytes);
  EXPECT_EQ(numbered.substr(numbered.size() - 10), "z (12).txt");
}

}  // namespace
}  // namespace vantrel
