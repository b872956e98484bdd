// Names through the mount: a copy out of the mount and a save of the same volume are the
// same tree, names included; converted names are served decoded.

#include <gtest/gtest.h>

#include <cstdlib>

#include "MountedImage.h"
#include "support/Fixtures.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

class MountedNames : public testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    if (!FuseAvailable(&why)) GTEST_SKIP() << why;
  }
  static std::string Disk() { return "--disk " + Quoted(FixtureImage("names")); }
};

TEST_F(MountedNames, ACopyOutOfTheMountAndASaveAreTheSameTree) {
  const UnchangedFixtures unchanged{"names"};
  const TempDir work;
  {
    MountedImage mounted(Disk(), "");
    ASSERT_TRUE(mounted.Mounted()) << mounted.Run().err;
    ASSERT_EQ(std::system(
                  ("cp -r " + Quoted(mounted.Root().string()) + " " + Quoted((work / "copied").string())).c_str()),
              0);
  }
  const CliRun saved = RunCli(Disk() + " save --out " + Quoted((work / "saved").string()));
  ASSERT_EQ(saved.exitCode, 0) << saved.err;
  EXPECT_TRUE(fs::exists(work / "copied/Maildir/cur/1291234567.M0P1000.mx0,S=180:2,S"));
  EXPECT_TRUE(fs::exists(work / "copied/specials/a?b.txt"));
  const std::string diff = "diff -r " + Quoted((work / "copied").string()) + " " + Quoted((work / "saved").string());
  EXPECT_EQ(std::system(diff.c_str()), 0) << diff;
}

TEST_F(MountedNames, ConvertedNamesAreServedDecoded) {
  const UnchangedFixtures unchanged{"names"};
  MountedImage mounted(Disk() + " --name-encoding ISO-8859-1", "--convert-names");
  ASSERT_TRUE(mounted.Mounted()) << mounted.Run().err;
  EXPECT_TRUE(fs::is_regular_file(mounted / "latin1/r\xc3\xa9ponse.txt"));
  EXPECT_TRUE(fs::is_directory(mounted / "latin1/caf\xc3\xa9"));
  EXPECT_FALSE(fs::exists(mounted / "latin1/r\xe9ponse.txt"));
}

}  // namespace
}  // namespace vantrel::test
