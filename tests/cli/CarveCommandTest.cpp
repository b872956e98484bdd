// The carve command as a user runs it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/CliRunner.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

TEST(CliCarve, WritesCheckedKindsPrintsRowsAndSummaryTakesRangesAndOptionsAndRefusesEmptyRanges) {
  const UnchangedImage unchangedCarve(CarveFixtureImage("carve-basic"));
  TempDir out;
  const CliRun run = RunCli("--disk " + Quoted(CarveFixtureImage("carve-basic")) + " carve --out " +
                            Quoted((out / "carved").string()) + " --types zip,xls");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(std::filesystem::exists(out / "carved" / "XLS2.XLS"));
  EXPECT_TRUE(std::filesystem::exists(out / "carved" / "ZIP4.ZIP"));
  EXPECT_FALSE(std::filesystem::exists(out / "carved" / "DOC1.DOC"));
  EXPECT_NE(run.out.find("Total Excel File(s) Recovered :  1\nTotal Zip File(s) Recovered :  1\n"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("Done: 2 file(s) written (doc 0, xls 1, ppt 0, zip 1), 39936 bytes, 4 carve(s) found"),
            std::string::npos)
      << run.out;

  const std::string disk = "--disk " + Quoted(CarveFixtureImage("carve-basic"));
  const CliRun exact = RunCli(disk + " carve --out " + Quoted(out.Path()) + " --start 800 --end 1600 --exact-sizes");
  ASSERT_EQ(exact.exitCode, 0) << exact.err;
  EXPECT_EQ(std::filesystem::file_size(out / "XLS1.XLS"), 13312u);
  EXPECT_NE(exact.out.find("sized by its structure"), std::string::npos);

  const CliRun refused = RunCli(disk + " carve --out " + Quoted(out.Path()) + " --start 9 --end 9");
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.out.find("Start sector should be less than End sector"), std::string::npos);
}

TEST(CliCarve, WholeFilesCountAHeaderWhoseArchiveHasNoEndRecord) {
  TempDir out;
  const auto image = out / "stray.img";
  {
    std::ofstream file(image, std::ios::binary);
    const std::string zeros(64 * 512, '\0');
    file << zeros.substr(0, 8 * 512) << std::string("PK\x03\x04\x14\x00\x00\x00", 8) << zeros.substr(8 * 512 + 8);
  }
  const CliRun run = RunCli("--disk " + Quoted(image.string()) + " carve --out " + Quoted((out / "carved").string()) +
                            " --exact-sizes");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("Done: 0 file(s) written"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("1 header(s) found whose file was not whole: not written"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace vantrel::test
