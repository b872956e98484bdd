// The partition searches on crafted disks: damaged chains, full tables, bad sectors, stop,
// and volumes beyond the first 4 GiB.

#include <gtest/gtest.h>

#include "app/ControlIds.h"
#include "base/LittleEndian.h"
#include "app/PartitionSearchCommands.h"
#include "app/PartitionList.h"
#include "support/CraftedVolume.h"
#include "support/Fixtures.h"
#include "support/SparseImage.h"
#include "support/TempDir.h"
#include "support/TestWizard.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

void WriteEntry(std::span<std::byte> sector, int slot, std::uint8_t type, std::uint32_t first, std::uint32_t length) {
  const std::size_t at = 446 + 16 * static_cast<std::size_t>(slot);
  sector[at + 4] = std::byte{type};
  WriteLittleEndian<std::uint32_t>(sector, at + 8, first);
  WriteLittleEndian<std::uint32_t>(sector, at + 12, length);
}

// A volume at start whose superblock passes every test (root block 20 of 4 KiB at level 2).
void CraftVolume(MemoryDiskSource& disk, std::uint64_t start) {
  FillSuperblockSector(disk.Sector(start + 128), {});
  FillNodeLevel(disk.Sector(start + 160), 2);
}

std::vector<std::uint64_t> Starts(const WizardState& state) {
  std::vector<std::uint64_t> starts;
  for (std::uint32_t i = 0; i < state.partitionTable.count; ++i) starts.push_back(state.partitionTable.records[i].start);
  return starts;
}

TEST(QuickSearchChains, LogicalPartitionsAreFoundInChainOrderAndALoopingChainEnds) {
  TestWizard wizard;
  MemoryDiskSource& disk = wizard.UseMemoryDisk(4096);
  WriteEntry(disk.Sector(0), 1, 0x05, 1000, 3000);
  // Two records: 1000 holds a volume at 1000 + 10, then links to 1000 + 1500.
  WriteEntry(disk.Sector(1000), 0, 0x83, 10, 400);
  WriteEntry(disk.Sector(1000), 1, 0x0F, 1500, 500);
  CraftVolume(disk, 1010);
  // The second record's volume at 2500 + 20, and a link back to the first record.
  WriteEntry(disk.Sector(2500), 0, 0x83, 20, 600);
  WriteEntry(disk.Sector(2500), 1, 0x05, 0, 500);
  CraftVolume(disk, 2520);
  QuickSearch(wizard.state);
  EXPECT_EQ(Starts(wizard.state), (std::vector<std::uint64_t>{1010, 2520}));
  EXPECT_EQ(wizard.state.partitionTable.records[1].size, 600u);
}

TEST(QuickSearchChains, LinuxEntryWithoutMagicIsNoPartitionAndAnUnreadableRecordEndsTheChain) {
  TestWizard wizard;
  MemoryDiskSource& disk = wizard.UseMemoryDisk(4096);
  WriteEntry(disk.Sector(0), 0, 0x83, 100, 400);  // no superblock there
  WriteEntry(disk.Sector(0), 1, 0x05, 1000, 3000);
  WriteEntry(disk.Sector(1000), 0, 0x83, 10, 400);
  WriteEntry(disk.Sector(1000), 1, 0x05, 1500, 400);
  CraftVolume(disk, 1010);
  disk.FailSector(2500);
  WriteEntry(disk.Sector(2500), 0, 0x83, 10, 400);
  CraftVolume(disk, 2510);
  wizard.answers.AddBadSector(BadSectorAnswer::Skip);
  QuickSearch(wizard.state);
  EXPECT_EQ(Starts(wizard.state), (std::vector<std::uint64_t>{1010}));
  EXPECT_EQ(wizard.window.BadSectorPrompts(), 1);
}

// 101 logical volumes, one per extended boot record, 200 sectors apart.
class CrowdedDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteEntry(disk_.Sector(0), 0, 0x05, 1000, 101 * 200);
    for (std::uint32_t i = 0; i < 101; ++i) {
      const std::uint32_t record = 1000 + 200 * i;
      WriteEntry(disk_.Sector(record), 0, 0x83, 1, 199);
      if (i < 100) WriteEntry(disk_.Sector(record), 1, 0x05, 200 * (i + 1), 200);
      CraftVolume(disk_, record + 1);
    }
  }
  TestWizard wizard_;
  MemoryDiskSource& disk_ = wizard_.UseMemoryDisk(1000 + 101 * 200 + 8);
};

TEST_F(CrowdedDisk, QuickSearchStopsAtAHundredPartitionsAndSaysSo) {
  QuickSearch(wizard_.state);
  EXPECT_EQ(wizard_.state.partitionTable.count, 100u);
  EXPECT_EQ(wizard_.state.partitionTable.records[99].start, 1000u + 99 * 200 + 1);
  EXPECT_EQ(wizard_.window.MessageTexts(), std::vector<std::string>{kPartitionTableFullMessage});
  EXPECT_EQ(wizard_.window.Tree(TreeId::Partition).Children(wizard_.window.TreeRoot(TreeId::Partition)).size(), 100u);
}

TEST_F(CrowdedDisk, AdvancedSearchStopsAtAHundredPartitionsToo) {
  AdvancedSearch(wizard_.state);
  EXPECT_EQ(wizard_.state.partitionTable.count, 100u);
  EXPECT_EQ(wizard_.window.MessageTexts(), std::vector<std::string>{kPartitionTableFullMessage});
  EXPECT_EQ(wizard_.window.LastTextShown(control::kFoundCount), "Partitions Found : 100");
}

TEST(AdvancedSearchScan, SuperblockBelowSector128IsPassedOver) {
  TestWizard wizard;
  MemoryDiskSource& disk = wizard.UseMemoryDisk(2048);
  FillSuperblockSector(disk.Sector(100), {});  // would put the start 28 sectors before sector 0
  FillNodeLevel(disk.Sector(20 * 8 - 28), 2);
  AdvancedSearch(wizard.state);
  EXPECT_EQ(wizard.state.partitionTable.count, 0u);
}

TEST(AdvancedSearchScan, RootsFromALeafToLevelFiveAreFoundAndSuperblockCopiesInAJournalAreNot) {
  TestWizard wizard;
  MemoryDiskSource& disk = wizard.UseMemoryDisk(16384);
  // Volumes at 1000 (leaf root), 3000 (level 5) and 5000 (level 6: no node).
  const std::pair<std::uint64_t, std::uint16_t> volumes[] = {{1000, 1}, {3000, 5}, {5000, 6}};
  for (const auto& [start, level] : volumes) {
    FillSuperblockSector(disk.Sector(start + 128), {});
    FillNodeLevel(disk.Sector(start + 160), level);
  }
  // The first volume's journal (blocks 18 to 18 + 100) logged its superblock in block 21:
  // that copy is 40 sectors on, and the shifted root it names is a leaf as well.
  std::span<std::byte> superblock = disk.Sector(1000 + 128);
  WriteLittleEndian<std::uint32_t>(superblock, 12, 18);
  WriteLittleEndian<std::uint32_t>(superblock, 20, 100);
  std::copy(superblock.begin(), superblock.end(), disk.Sector(1000 + 168).begin());
  FillNodeLevel(disk.Sector(1000 + 40 + 160), 1);
  AdvancedSearch(wizard.state);
  EXPECT_EQ(Starts(wizard.state), (std::vector<std::uint64_t>{1000, 3000}));
}

TEST(AdvancedSearchScan, FailedRequestsAreAskedAboutOneByOneAndNeverExaminedWithStaleBytes) {
  TestWizard wizard;
  MemoryDiskSource& disk = wizard.UseMemoryDisk(8192);
  CraftVolume(disk, 0);  // superblock at 128, the first sector of its request
  // The next request, and the request at the same place one large read later, fail.
  disk.FailSector(136);
  disk.FailSector(2048 + 128);
  wizard.answers.AddBadSector(BadSectorAnswer::Skip);
  wizard.answers.AddBadSector(BadSectorAnswer::Skip);
  AdvancedSearch(wizard.state);
  EXPECT_EQ(Starts(wizard.state), std::vector<std::uint64_t>{0});
  EXPECT_EQ(wizard.window.BadSectorPrompts(), 2);
}

TEST(AdvancedSearchScan, RetryRecoversASuperblockInAFailingRequestAndSkipLosesIt) {
  for (const auto answer : {BadSectorAnswer::Retry, BadSectorAnswer::Skip}) {
    TestWizard wizard;
    MemoryDiskSource& disk = wizard.UseMemoryDisk(8192);
    CraftVolume(disk, 3000);     // superblock at 3128
    disk.FailSector(3128 + 3);   // same request, another sector
    wizard.answers.AddBadSector(answer);
    AdvancedSearch(wizard.state);
    EXPECT_EQ(wizard.state.partitionTable.count, answer == BadSectorAnswer::Retry ? 1u : 0u);
    EXPECT_EQ(wizard.window.BadSectorPrompts(), 1);
  }
}

TEST(AdvancedSearchScan, StatusIsReportedEvery88RequestsAndTheLastRequestMayPassTheEnd) {
  TestWizard wizard;
  MemoryDiskSource& disk = wizard.UseMemoryDisk(100 * 88 * 8 + 5);
  FillSuperblockSector(disk.Sector(100 * 88 * 8 + 4), {});  // in the very last sector
  AdvancedSearch(wizard.state);
  EXPECT_EQ(wizard.window.LastTextShown(control::kStatusText),
            "Searching Partitions " + std::to_string((100 * 88 - 1) * 8) + " / " + std::to_string(100 * 88 * 8 + 5));
  EXPECT_EQ(wizard.window.Control(control::kSearchProgress).progress, 99);
  EXPECT_EQ(wizard.state.partitionTable.count, 0u);  // its root lies beyond the disk
}

class StopAfterFirstFind : public HeadlessWindow {
 public:
  StopAfterFirstFind(DialogAnswers& answers, WizardState& state) : HeadlessWindow(answers), state_(state) {}
  void SetControlText(int id, const std::string& text) override {
    HeadlessWindow::SetControlText(id, text);
    if (id == control::kFoundCount && text == "Partitions Found : 1") state_.stopRequested = 1;
  }

 private:
  WizardState& state_;
};

TEST(AdvancedSearchScan, StoppedSearchKeepsWhatItFoundAndMovesOn) {
  TestWizard wizard;
  StopAfterFirstFind window(wizard.answers, wizard.state);
  window.RecordTextHistory(true);
  wizard.state.mainWindow = &window;
  MemoryDiskSource& disk = wizard.UseMemoryDisk(8192);
  CraftVolume(disk, 1000);
  CraftVolume(disk, 5000);
  AdvancedSearch(wizard.state);
  EXPECT_EQ(Starts(wizard.state), std::vector<std::uint64_t>{1000});
  EXPECT_EQ(window.LastTextShown(control::kFoundCount), "Partitions Found : 1");
  EXPECT_EQ(window.ControlText(control::kFoundCount), "");  // emptied by the partition list view
  EXPECT_EQ(window.CurrentView(), WizardView::PartitionList);
  EXPECT_EQ(wizard.state.stopRequested.load(), 0);
  EXPECT_EQ(wizard.state.stage, WizardStage::Partitions);
}

// A disk of three cylinders reported as 16 heads x 16 sectors x 500 cylinders (128000
// sectors: 7 cylinders of 16065), with volumes at the second cylinder + 63 and at the third.
void UseTranslatedDiskWithTwoVolumes(TestWizard& wizard) {
  MemoryDiskSource& disk = wizard.UseMemoryDisk(3 * 16065);
  wizard.state.disks.info.Write("VT Windows\\Cylinder", "Disk0", "500");
  wizard.state.disks.info.Write("VT Windows\\Head", "Disk0", "16");
  wizard.state.disks.info.Write("VT Windows\\SectorsPerTrack", "Disk0", "16");
  CraftVolume(disk, 16065 + 63);
  CraftVolume(disk, 2 * 16065);
}

TEST(SearchMorePartitionsGeometry, SixteenSectorsPerTrackIsTranslatedBeforeTheLoop) {
  TestWizard wizard;
  UseTranslatedDiskWithTwoVolumes(wizard);
  SearchMorePartitions(wizard.state);
  EXPECT_EQ(Starts(wizard.state), (std::vector<std::uint64_t>{16065 + 63, 2 * 16065}));
  EXPECT_EQ(wizard.state.partitionTable.records[0].size, 8000u);  // 1000 blocks of 4 KiB
  EXPECT_EQ(wizard.window.CurrentView(), WizardView::MoreSearchDone);
  EXPECT_TRUE(wizard.window.Messages().empty());
}

TEST(SearchMorePartitionsGeometry, KeepsWhatWasFoundAndSaysNothingFoundOnlyWhenNoneIsListed) {
  TestWizard wizard;
  MemoryDiskSource& disk = wizard.UseMemoryDisk(4096);
  WriteEntry(disk.Sector(0), 0, 0x83, 1000, 400);
  CraftVolume(disk, 1000);
  QuickSearch(wizard.state);
  ASSERT_EQ(wizard.state.partitionTable.count, 1u);
  ASSERT_TRUE(SelectPartition(wizard.state, 0));
  const TreeItemHandle item = wizard.state.partitionTable.records[0].treeItem;
  SearchMorePartitions(wizard.state);  // no geometry: nothing is tested, nothing new
  // The partition found and chosen stays listed and chosen, with its details and Next.
  EXPECT_EQ(Starts(wizard.state), std::vector<std::uint64_t>{1000});
  EXPECT_EQ(wizard.state.partitionTable.records[0].treeItem, item);
  EXPECT_EQ(wizard.state.currentPartition.index, 0);
  EXPECT_EQ(wizard.window.ListRowCount(control::kDetailsList), 3u);  // start, size, journal
  EXPECT_TRUE(wizard.window.Control(control::kNextButton).enabled);
  EXPECT_EQ(wizard.window.Tree(TreeId::Partition).Children(wizard.window.TreeRoot(TreeId::Partition)).size(), 1u);
  EXPECT_EQ(wizard.window.ControlText(control::kBootSectorsValue), "1");
  EXPECT_TRUE(wizard.window.Messages().empty());

  // With no partition listed, the search that finds none says so.
  wizard.state.partitionTable = PartitionTable{};
  ReplacePartitionTree(wizard.state);
  SearchMorePartitions(wizard.state);
  EXPECT_EQ(wizard.window.MessageTexts(), std::vector<std::string>{kMoreSearchFoundNothing});
}

TEST(SearchMorePartitionsGeometry, AddsOnlyTheVolumesNotListedAlready) {
  TestWizard wizard;
  UseTranslatedDiskWithTwoVolumes(wizard);
  SearchMorePartitions(wizard.state);
  ASSERT_EQ(Starts(wizard.state), (std::vector<std::uint64_t>{16065 + 63, 2 * 16065}));
  SearchMorePartitions(wizard.state);
  EXPECT_EQ(Starts(wizard.state), (std::vector<std::uint64_t>{16065 + 63, 2 * 16065}));
  EXPECT_EQ(wizard.window.Tree(TreeId::Partition).Children(wizard.window.TreeRoot(TreeId::Partition)).size(), 2u);
}

TEST(VolumeBeyondFourGiB, EverySearchReadsItAtTheRightPlace) {
  const UnchangedFixtures unchanged{"bare-36"};
  // bare-36 placed on a cylinder boundary + 63 beyond byte 2^32, behind a partition table.
  constexpr std::uint64_t kStart = 523ull * 16065 + 63;
  static_assert(kStart * 512 > (1ull << 32));
  const auto manifest = FixtureManifest("bare-36");
  const std::uint64_t sectors = manifest["image"]["size_sectors"].get<std::uint64_t>();
  TempDir dir;
  SparseImage image((dir / "far.img").string(), (kStart + sectors + 16065) * 512);
  image.CopyImage(FixtureImage("bare-36"), kStart);
  image.WritePartitionEntry(0, 0, 0x83, static_cast<std::uint32_t>(kStart), static_cast<std::uint32_t>(sectors));

  TestWizard wizard;
  wizard.UseImages({image.Path()});
  QuickSearch(wizard.state);
  EXPECT_EQ(Starts(wizard.state), std::vector<std::uint64_t>{kStart});
  SearchMorePartitions(wizard.state);
  EXPECT_EQ(Starts(wizard.state), std::vector<std::uint64_t>{kStart});
  ReplacePartitionTree(wizard.state);
  AdvancedSearch(wizard.state);
  EXPECT_EQ(Starts(wizard.state), std::vector<std::uint64_t>{kStart});
  EXPECT_EQ(wizard.state.partitionTable.records[0].size, sectors);
}

}  // namespace
}  // namespace vantrel::test
