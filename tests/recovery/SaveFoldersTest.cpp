// Saving in one call, as the console's save makes it: the disk, the partition, the build,
// the folders, the filters and the destination in; files written, or why not, out.

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <set>

#include "recovery/SaveFolders.h"
#include "recovery/RecoveryTestDisk.h"
#include "support/Fixtures.h"
#include "support/Sha256.h"
#include "support/TempDir.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

// The files below a folder, as paths relative to it.
std::set<std::string> FilesBelow(const fs::path& folder) {
  std::set<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (!entry.is_directory()) files.insert(fs::relative(entry.path(), folder).string());
  return files;
}

CalendarDate LocalDate(std::time_t time) {
  std::tm local{};
  ::localtime_r(&time, &local);
  return {local.tm_mday, local.tm_mon + 1, local.tm_year + 1900};
}

bool IsBefore(const CalendarDate& a, const CalendarDate& b) {
  return std::tie(a.year, a.month, a.day) < std::tie(b.year, b.month, b.day);
}

class SaveFoldersTest : public ::testing::Test {
 protected:
  SaveOutcome Save(const SaveRequest& request) {
    return SaveFolders(disk_.Disk(), request, {watchers_.Catalogue(), watchers_}, watchers_, run_);
  }

  RecoveryTestDisk disk_{FixtureImage("mbr-mixed")};
  RecordingWatchers watchers_;
  SavingRun run_;
  TempDir out_;
};

TEST_F(SaveFoldersTest, ExtensionsAndAFirstDateLeaveExactlyTheFilesThatPassBoth) {
  // The second partition's entries are an hour apart from 01/01/2000: the files from the
  // day of the middle one on, and of them only the text files, are saved.
  const nlohmann::json partition = ManifestPartition(FixtureManifest("mbr-mixed"), 5);
  std::vector<std::pair<std::string, std::time_t>> files;
  for (const auto& entry : partition["entries"])
    if (entry["kind"] != "dir") files.push_back({entry["path"], entry["mtime"].get<std::time_t>()});
  ASSERT_GT(files.size(), 10u);
  const CalendarDate first = LocalDate(files[files.size() / 2].second);

  SaveRequest request{.catalogue = {.partition = {.record = 1}}, .destination = (out_.Path() / "new").string()};
  ASSERT_TRUE(AddExtension(request.filters, "TXT").added);
  request.filters.modified.first = first;
  const SaveOutcome outcome = Save(request);
  ASSERT_TRUE(outcome.result.Done()) << outcome.result.text;

  std::set<std::string> expected;
  for (const auto& [path, time] : files)
    if (path.ends_with(".txt") && !IsBefore(LocalDate(time), first)) expected.insert(SavedPath(path));
  EXPECT_FALSE(expected.empty());
  EXPECT_LT(expected.size(), files.size());
  EXPECT_EQ(FilesBelow(out_.Path() / "new"), expected);
  EXPECT_EQ(run_.filesWritten, expected.size());
  for (const auto& entry : partition["entries"])
    if (expected.count(SavedPath(entry["path"]))) {
      EXPECT_EQ(Sha256OfFile((out_.Path() / "new" / SavedPath(entry["path"])).string()), entry["sha256"]);
    }
  // The quick build hints at the advanced one; nothing else is said.
  EXPECT_EQ(watchers_.Texts(), std::vector<std::string>{kAdvanceSearchHint});
}

TEST_F(SaveFoldersTest, NamedFoldersComeWithTheFoldersAboveThemButNotTheirFiles) {
  const SaveRequest request{.folders = {"deep/level 1"}, .destination = out_.Path().string()};
  ASSERT_TRUE(Save(request).result.Done());
  const nlohmann::json partition = ManifestPartition(FixtureManifest("mbr-mixed"), 1);
  std::set<std::string> expected;
  for (const auto& entry : partition["entries"]) {
    const std::string path = entry["path"];
    if (entry["kind"] != "dir" && path.starts_with("deep/level 1/")) expected.insert(SavedPath(path));
  }
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(FilesBelow(out_.Path()), expected);  // nothing of "deep" itself, nor of the root
}

TEST_F(SaveFoldersTest, WhatCannotBeSavedSaysWhyAndWritesNothing) {
  const SaveOutcome record = Save({.catalogue = {.partition = {.record = 40}}, .destination = out_.Path().string()});
  EXPECT_EQ(record.result.outcome, StepOutcome::NotFound);
  EXPECT_TRUE(record.result.text.starts_with("there is no partition record 40 (")) << record.result.text;
  EXPECT_TRUE(record.result.text.ends_with(" found by the quick search)")) << record.result.text;

  const SaveOutcome folder = Save({.folders = {"deep", "no/such"}, .destination = out_.Path().string()});
  EXPECT_EQ(folder.result.outcome, StepOutcome::NotFound);
  EXPECT_EQ(folder.result.text, "there is no folder no/such in the catalogue");

  std::ofstream(out_ / "file") << "in the way";
  const SaveOutcome blocked = Save({.destination = (out_.Path() / "file" / "below").string()});
  EXPECT_EQ(blocked.result.outcome, StepOutcome::Refused);
  EXPECT_EQ(watchers_.told.back().text, kTreeSaveInvalidPath);
  EXPECT_EQ(FilesBelow(out_.Path()), std::set<std::string>{"file"});

  const SaveOutcome noDisk = SaveFolders(disk_.Disk(3), {.destination = out_.Path().string()},
                                         {watchers_.Catalogue(), watchers_}, watchers_, run_);
  EXPECT_EQ(noDisk.result.outcome, StepOutcome::DiskUnreadable);
  EXPECT_EQ(noDisk.result.text, "there is no Disk3 (1 disk(s) listed)");
}

TEST_F(SaveFoldersTest, ADeclinedReplaceKeepsTheExistingFileAndCountsIt) {
  const SaveRequest request{.folders = {"sizes"}, .destination = out_.Path().string()};
  ASSERT_TRUE(Save(request).result.Done());
  const std::uint32_t written = run_.filesWritten;
  ASSERT_GT(written, 0u);
  const fs::path one = out_.Path() / "sizes" / *FilesBelow(out_.Path() / "sizes").begin();
  std::ofstream(one, std::ios::trunc) << "mine";
  run_.Reset();
  watchers_.replace = ReplaceAnswer::NoToAll;
  ASSERT_TRUE(Save(request).result.Done());
  EXPECT_EQ(run_.filesKeptExisting, written);
  EXPECT_EQ(run_.filesWritten, 0u);
  std::ifstream in(one);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "mine");
}

}  // namespace
}  // namespace vantrel::test
