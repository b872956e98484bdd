// What the advanced build shows while it searches the blocks, before its entries are made:
// the folders and files counted as they are found, and the last of each by name.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "reiserfs/build/AdvancedCatalogueBuild.h"
#include "reiserfs/build/BuildStatus.h"
#include "support/Fixtures.h"
#include "support/TestWizard.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

// Keeps each row shown while the blocks were still searched (before "Enumerating").
class SearchPhaseRows : public BuildStatusSink {
 public:
  void ShowRow(std::size_t row, const std::string& text) override {
    if (!enumerating_) shown[row].push_back(text);
  }
  void ShowStatusText(const std::string& text) override {
    if (text.rfind("Enumerating", 0) == 0) enumerating_ = true;
  }
  void ShowProgress(int) override {}

  std::vector<std::string> shown[6];

 private:
  bool enumerating_ = false;
};

std::string BaseName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

TEST(AdvancedBuildStatus, SearchOfTheBlocksShowsTheFoldersAndFilesFoundSoFar) {
  const UnchangedFixtures unchanged{"mbr-mixed"};
  const nlohmann::json partition = ManifestPartition(FixtureManifest("mbr-mixed"), 1);
  TestWizard wizard;
  wizard.UseImages({FixtureImage("mbr-mixed")});
  const DiskReader disk = wizard.Disk();
  const std::uint64_t start = partition["start_sector"].get<std::uint64_t>();
  const PartitionSource source{disk, start, ReadPartitionSuperblock(disk, start)};
  SearchPhaseRows rows;
  std::atomic<int> noStop{0};
  const Catalogue catalogue = BuildAdvancedCatalogue(source, StopToken(noStop), rows);

  std::set<std::string> folders{"FOUND"}, files;
  for (const auto& entry : partition["entries"])
    (entry["kind"] == "dir" ? folders : files).insert(BaseName(entry["path"]));
  const auto last = [&](StatusRow row) {
    const auto& texts = rows.shown[static_cast<std::size_t>(row)];
    return texts.empty() ? std::string() : texts.back();
  };
  ASSERT_FALSE(last(StatusRow::LastFolder).empty());
  ASSERT_FALSE(last(StatusRow::LastFile).empty());
  // The names are of entries of their kind (or the name given to one whose entry is unseen).
  const auto known = [](const std::set<std::string>& names, const std::string& name) {
    return names.contains(name) || name.rfind("FOUND", 0) == 0;
  };
  EXPECT_TRUE(known(folders, last(StatusRow::LastFolder))) << last(StatusRow::LastFolder);
  EXPECT_TRUE(known(files, last(StatusRow::LastFile))) << last(StatusRow::LastFile);
  // Each object is counted once, however many copies of its stat data the blocks hold (a
  // hard-linked file once per name when the entries are made), and the counts only grow.
  const auto counts = [&](StatusRow row) {
    std::vector<std::uint64_t> numbers;
    for (const std::string& text : rows.shown[static_cast<std::size_t>(row)]) numbers.push_back(std::stoull(text));
    return numbers;
  };
  const auto folderCounts = counts(StatusRow::FoldersFound);
  const auto fileCounts = counts(StatusRow::FilesFound);
  ASSERT_FALSE(folderCounts.empty());
  ASSERT_FALSE(fileCounts.empty());
  EXPECT_TRUE(std::is_sorted(folderCounts.begin(), folderCounts.end()));
  EXPECT_TRUE(std::is_sorted(fileCounts.begin(), fileCounts.end()));
  EXPECT_GT(folderCounts.back(), 0u);
  EXPECT_GT(fileCounts.back(), 0u);
  EXPECT_LE(folderCounts.back() + fileCounts.back(), std::size_t{catalogue.folderCount} + catalogue.fileCount);
}

}  // namespace
}  // namespace vantrel::test
