// The three partition searches on real images, with expectations taken from the manifests.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <span>

#include "app/ControlIds.h"
#include "app/PartitionSearchCommands.h"
#include "app/PartitionList.h"
#include "reiserfs/format/ReiserSuperblock.h"
#include "reiserfs/search/SuperblockEvidence.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"
#include "support/TestWizard.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

struct Found {
  std::uint64_t start;
  std::uint64_t size;
  bool operator==(const Found&) const = default;
};

std::vector<Found> FoundPartitions(const WizardState& state) {
  std::vector<Found> found;
  for (std::uint32_t i = 0; i < state.partitionTable.count; ++i)
    found.push_back({state.partitionTable.records[i].start, state.partitionTable.records[i].size});
  return found;
}

// The ReiserFS partitions of a manifest in table order, sized as the quick search sizes them
// (from the partition table) or as the other searches do (from the superblock).
std::vector<Found> ManifestReiserPartitions(const nlohmann::json& manifest, bool sizeFromSuperblock) {
  std::vector<Found> expected;
  for (const auto& partition : manifest["partitions"]) {
    if (partition["reiserfs"].is_null()) continue;
    const auto& sb = partition["reiserfs"];
    const std::uint64_t size = sizeFromSuperblock ? sb["block_count"].get<std::uint64_t>() *
                                                        (sb["block_size"].get<std::uint64_t>() / 512)
                                                  : partition["size_sectors"].get<std::uint64_t>();
    expected.push_back({partition["start_sector"].get<std::uint64_t>(), size});
  }
  return expected;
}

class PartitionSearchOnFixtures : public ::testing::Test {
 protected:
  void Open(const std::string& name) {
    manifest_ = FixtureManifest(name);
    unchanged_.emplace(FixtureImage(name));
    wizard_.UseImages({*unchanged_});
  }
  std::optional<UnchangedImage> unchanged_;
  nlohmann::json manifest_;
  TestWizard wizard_;
};

TEST_F(PartitionSearchOnFixtures, QuickSearchFindsPrimaryAndLogicalReiserPartitionsInTableOrder) {
  Open("mbr-mixed");
  QuickSearch(wizard_.state);
  EXPECT_EQ(FoundPartitions(wizard_.state), ManifestReiserPartitions(manifest_, false));
  EXPECT_TRUE(wizard_.window.Messages().empty());
  const TreeModel tree = wizard_.window.Tree(TreeId::Partition);
  EXPECT_EQ(tree.Text(tree.Root()), "Disk 0");
  ASSERT_EQ(tree.Children(tree.Root()).size(), 2u);
  EXPECT_EQ(tree.Text(tree.Children(tree.Root())[0]), "ReiserFS 0");
  EXPECT_EQ(tree.Text(tree.Children(tree.Root())[1]), "ReiserFS 1");
  EXPECT_TRUE(tree.IsExpanded(tree.Root()));
}

TEST_F(PartitionSearchOnFixtures, AdvancedSearchFindsEveryVolumeWithASuperblockAndPlausibleRoot) {
  Open("mbr-mixed");
  AdvancedSearch(wizard_.state);
  EXPECT_EQ(FoundPartitions(wizard_.state), ManifestReiserPartitions(manifest_, true));
  EXPECT_EQ(wizard_.window.TextsShown(control::kFoundCount),
            (std::vector<std::string>{"Partitions Found : 0", "Partitions Found : 1", "Partitions Found : 2", ""}));
  EXPECT_EQ(wizard_.window.CurrentView(), WizardView::PartitionList);
  EXPECT_EQ(wizard_.state.stage, WizardStage::Partitions);
}

// The 3.6 volume of mbr-mixed (from sector 2048) damaged in a copy: its root node zeroed,
// then its superblock too. The journal's copies of the superblock are never offered.
TEST_F(PartitionSearchOnFixtures, AdvancedSearchOffersNoJournalCopyAndKeepsAVolumeWhoseRootIsLost) {
  Open("mbr-mixed");
  const std::vector<Found> sound = ManifestReiserPartitions(manifest_, true);
  const TempDir dir;
  const std::string copy = dir / "damaged.img";
  std::filesystem::copy_file(FixtureImage("mbr-mixed"), copy);
  wizard_.UseImages({copy});
  const auto zero = [&](std::uint64_t sector, std::size_t bytes) {
    std::fstream image(copy, std::ios::in | std::ios::out | std::ios::binary);
    image.seekp(static_cast<std::streamoff>(sector * 512));
    const std::string zeros(bytes, '\0');
    image.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
  };
  // Every superblock on the volume but its own is a copy its journal logged.
  std::ifstream whole(copy, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(whole)), {});
  std::size_t copies = 0;
  for (std::uint64_t sector = 2048 + kSuperblockSectorOffset; sector < 2048 + 81920; ++sector) {
    const auto at = std::as_bytes(std::span(bytes)).subspan(sector * 512, 512);
    if (!HasReiserMagic(at)) continue;
    const bool logged = IsLoggedSuperblockCopy(wizard_.Disk(), sector, *ReiserSuperblock::Decode(at));
    EXPECT_EQ(logged, sector != 2048 + kSuperblockSectorOffset) << sector;
    copies += logged;
  }
  EXPECT_GT(copies, 5u);

  zero(2048 + 8213 * 8, 4096);
  wizard_.UseImages({copy});
  AdvancedSearch(wizard_.state);
  EXPECT_EQ(FoundPartitions(wizard_.state), sound);

  zero(2048 + kSuperblockSectorOffset, 4096);
  wizard_.UseImages({copy});
  AdvancedSearch(wizard_.state);
  EXPECT_EQ(FoundPartitions(wizard_.state), std::vector<Found>(sound.begin() + 1, sound.end()));
}

TEST_F(PartitionSearchOnFixtures, CylinderSearchFindsNothingOffCylinderBoundaries) {
  // 64 MiB as 255 heads and 63 sectors: 8 cylinders, none of whose usual starts holds a
  // volume (the volumes start at 2048 and 94208).
  Open("mbr-mixed");
  SearchMorePartitions(wizard_.state);
  EXPECT_TRUE(FoundPartitions(wizard_.state).empty());
  ASSERT_EQ(wizard_.window.Messages().size(), 1u);
  EXPECT_EQ(wizard_.window.Messages()[0].kind, ShownMessage::Kind::SystemError);
  EXPECT_EQ(wizard_.window.Messages()[0].text, kMoreSearchFoundNothing);
  EXPECT_EQ(wizard_.window.CurrentView(), WizardView::MoreSearchDone);
}

TEST_F(PartitionSearchOnFixtures, WholeDeviceVolumeIsFoundOnlyByTheAdvancedSearch) {
  Open("bare-36");
  QuickSearch(wizard_.state);
  EXPECT_EQ(wizard_.state.partitionTable.count, 0u);
  EXPECT_EQ(wizard_.window.MessageTexts(), std::vector<std::string>{kQuickSearchFoundNothing});

  ReplacePartitionTree(wizard_.state);
  AdvancedSearch(wizard_.state);
  EXPECT_EQ(FoundPartitions(wizard_.state), ManifestReiserPartitions(manifest_, true));
  EXPECT_EQ(wizard_.state.partitionTable.records[0].start, 0u);

  // The strict test refuses a start below sector 65: nothing is added, and what the
  // advanced search found stays listed.
  SearchMorePartitions(wizard_.state);
  EXPECT_EQ(FoundPartitions(wizard_.state), ManifestReiserPartitions(manifest_, true));
}

TEST_F(PartitionSearchOnFixtures, VolumeWhoseRootIsALeafIsFoundByEverySearch) {
  Open("reformatted");
  QuickSearch(wizard_.state);
  EXPECT_EQ(FoundPartitions(wizard_.state), ManifestReiserPartitions(manifest_, false));
  EXPECT_TRUE(IsReiserPartition(wizard_.Disk(), 2048));

  // Only the live superblock: the old file system's copies in the journal are not volumes.
  ReplacePartitionTree(wizard_.state);
  AdvancedSearch(wizard_.state);
  EXPECT_EQ(FoundPartitions(wizard_.state), ManifestReiserPartitions(manifest_, true));
  EXPECT_EQ(wizard_.window.CurrentView(), WizardView::PartitionList);
}

TEST_F(PartitionSearchOnFixtures, SelectingAPartitionMakesItCurrentAndShowsItsDetails) {
  Open("mbr-mixed");
  QuickSearch(wizard_.state);
  wizard_.state.stage = WizardStage::Partitions;
  const TreeModel tree = wizard_.window.Tree(TreeId::Partition);
  EXPECT_FALSE(SelectPartitionItem(wizard_.state, tree.Root()));  // "Disk 0" selects nothing
  ASSERT_TRUE(SelectPartitionItem(wizard_.state, tree.Children(tree.Root())[1]));
  EXPECT_EQ(wizard_.state.currentPartition.partitionStartSector, 94208u);
  EXPECT_EQ(wizard_.state.currentPartition.sizeSectors, 24576u);
  EXPECT_TRUE(wizard_.window.Control(control::kNextButton).enabled);
  EXPECT_EQ(wizard_.window.List(control::kDetailsList).FirstCells(),
            (std::vector<std::string>{"Partition Start     :   94208", "Partition Size      :   12 MB",
                                      "Journal: clean"}));
  EXPECT_EQ(wizard_.window.Tree(TreeId::Partition).Selected(), tree.Children(tree.Root())[1]);
}

// The details say what a build would make of the journal, under the settings.
TEST_F(PartitionSearchOnFixtures, DetailsOfACrashedVolumeSayTheJournalIsReplayedInMemory) {
  Open("crashed");
  QuickSearch(wizard_.state);
  wizard_.state.stage = WizardStage::Partitions;
  const TreeModel tree = wizard_.window.Tree(TreeId::Partition);
  ASSERT_TRUE(SelectPartitionItem(wizard_.state, tree.Children(tree.Root())[0]));
  EXPECT_EQ(wizard_.window.List(control::kDetailsList).FirstCells().back(),
            "Journal: 1 transactions replayed in memory (the disk is not written)");
  wizard_.state.saving.options.blocksInPlace = true;
  ASSERT_TRUE(SelectPartitionItem(wizard_.state, tree.Children(tree.Root())[0]));
  EXPECT_EQ(wizard_.window.List(control::kDetailsList).FirstCells().back(),
            "Journal: not replayed (the blocks are shown as they lie on the disk)");
}

}  // namespace
}  // namespace vantrel::test
