// A catalogue kept in a recovery log and taken back, and a log refused: not a log, damaged,
// or made on a disk of another model.

#include <gtest/gtest.h>

#include <fstream>

#include "recovery/LoggedCatalogue.h"
#include "recovery/RecoveryTestDisk.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"

namespace vantrel::test {
namespace {

class LoggedCatalogueTest : public ::testing::Test {
 protected:
  ChosenCatalogue Built(const CatalogueRequest& request) {
    auto chosen = ObtainCatalogue(disk_.Disk(), request, watchers_.Catalogue());
    EXPECT_TRUE(chosen);
    return std::move(*chosen);
  }

  RecoveryTestDisk disk_{FixtureImage("mbr-mixed")};
  RecordingWatchers watchers_;
  TempDir dir_;
};

TEST_F(LoggedCatalogueTest, ALogTakesBackThePartitionsTheModesAndTheCatalogue) {
  const ChosenCatalogue built = Built(
      {.partition = {.search = PartitionSearchKind::Advanced, .record = 1}, .build = FileSearchKind::Advanced});
  const std::string path = (dir_ / "case.SAV").string();
  ASSERT_TRUE(SaveLoggedCatalogue(path, built).Done());

  const auto loaded = ObtainCatalogue(disk_.Disk(), {.recoveryLog = path}, watchers_.Catalogue());
  ASSERT_TRUE(loaded) << loaded.Failure().text;
  EXPECT_EQ(loaded->recoveryMode, 2);
  EXPECT_EQ(loaded->fileSearch, FileSearchKind::Advanced);
  EXPECT_EQ(loaded->source, BodySource::Pieces);
  EXPECT_EQ(loaded->partitions, built.partitions);
  EXPECT_EQ(loaded->partition.startSector, built.partition.startSector);
  EXPECT_EQ(loaded->selectedSize, built.selectedSize);
  EXPECT_EQ(loaded->catalogue.folderList.size(), built.catalogue.folderList.size());
  EXPECT_EQ(loaded->catalogue.fileList.size(), built.catalogue.fileList.size());
}

TEST_F(LoggedCatalogueTest, ARefusedLogIsToldWithItsReasonAndLeavesNoCatalogue) {
  const ChosenCatalogue built = Built({});
  std::string log;
  {
    const std::string path = (dir_ / "whole.SAV").string();
    ASSERT_TRUE(SaveLoggedCatalogue(path, built).Done());
    std::ifstream in(path, std::ios::binary);
    log.assign(std::istreambuf_iterator<char>(in), {});
  }
  const auto refusal = [&](const std::string& bytes) {
    const std::string path = (dir_ / "refused.SAV").string();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    watchers_.told.clear();
    const auto loaded = ObtainCatalogue(disk_.Disk(), {.recoveryLog = path}, watchers_.Catalogue());
    EXPECT_FALSE(loaded);
    const StepResult result = StepResultOf(loaded.Failure());
    EXPECT_EQ(result.outcome, StepOutcome::LogRefused);
    EXPECT_EQ(result.text, "the recovery log " + path + " was not loaded");
    EXPECT_EQ(watchers_.Texts(), std::vector<std::string>{result.reason});
    return result.reason;
  };
  EXPECT_EQ(refusal("abc"), kDamagedLogMessage);
  EXPECT_EQ(refusal(log.substr(0, log.size() / 2)), kDamagedLogMessage);
  std::string otherModel = log;
  const std::size_t model = kRecoveryLogHeader.size() + 4;  // after the header and the model's length
  ASSERT_GT(built.diskModel.size(), 0u);
  ASSERT_EQ(otherModel.substr(model, built.diskModel.size()), built.diskModel);
  otherModel[model] = otherModel[model] == 'X' ? 'Y' : 'X';
  EXPECT_EQ(refusal(otherModel), kWrongDiskMessage);
  EXPECT_EQ(watchers_.told.back().style, MessageStyle::Box);

  const auto missing = ObtainCatalogue(disk_.Disk(), {.recoveryLog = (dir_ / "none.SAV").string()},
                                       watchers_.Catalogue());
  EXPECT_EQ(missing.Failure().reason, kUnableToOpenFile);
  EXPECT_EQ(SaveLoggedCatalogue((dir_ / "no" / "such.SAV").string(), built).outcome, StepOutcome::LogRefused);
}

}  // namespace
}  // namespace vantrel::test
