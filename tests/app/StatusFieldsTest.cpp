// The value fields, the disk's size, the ID column and the partition list, compared after
// each step with what the engines know: the disk's own size, the catalogue's ids and counts,
// the partitions found.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/ControlIds.h"
#include "app/Wizard.h"
#include "app/WizardState.h"
#include "base/ByteCountText.h"
#include "reiserfs/catalogue/Catalogue.h"
#include "reiserfs/catalogue/CatalogueRowCells.h"
#include "support/Fixtures.h"
#include "support/ScriptedWizardDialogs.h"
#include "support/TempDir.h"
#include "support/TestWizard.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

using namespace control;
namespace fs = std::filesystem;

constexpr std::uint64_t kReiserStart = 94208;  // mbr-mixed's ReiserFS 3.5 partition, 1 KiB blocks

class StatusFields : public ::testing::Test {
 protected:
  void SetUp() override {
    t_.state.files.programFolder = programFolder_.Path().string();
    t_.state.files.tempFolder = out_.Path().string();
    t_.UseImages({FixtureImage("mbr-mixed"), CarveFixtureImage("carve-basic")});
    wizard_.Initialise("");
  }
  std::string Text(int id) { return t_.window.ControlText(id); }
  ControlState At(int id) const { return t_.window.Control(id); }
  void ClickDisk(const std::string& label) {
    for (const TreeItemHandle item : t_.window.TreeChildren(TreeId::Disk, t_.window.TreeRoot(TreeId::Disk)))
      if (t_.window.TreeText(TreeId::Disk, item) == label) wizard_.ClickDiskItem(item);
  }
  void ChooseDiskAndMode(const std::string& label, int mode) {
    ClickDisk(label);
    wizard_.HoverMode(mode);
    wizard_.Next();
    wizard_.Workers().WaitAll();
  }
  void PickPartition(std::uint64_t start) {
    for (std::uint32_t i = 0; i < t_.state.partitionTable.count; ++i)
      if (t_.state.partitionTable.records[i].start == start)
        wizard_.ClickPartitionItem(t_.state.partitionTable.records[i].treeItem);
  }
  void Build(FileSearchKind kind) {
    dialogs_.AddFileSearchKind(kind);
    wizard_.Next();
    wizard_.Workers().WaitAll();
  }
  // The fields that describe a partition search, a partition and a catalogue.
  void ExpectNoSearchValues(const char* where) {
    for (const int id : {kRangeValue, kBootSectorsValue, kFileSystemValue, kDirectoriesValue, kSearchModeValue})
      EXPECT_EQ(Text(id), "") << where << ": field " << id;
  }
  static std::string DiskText(const std::string& label, const std::string& image) {
    return label + " (" + ByteCountText(fs::file_size(image)) + ")";
  }

  UnchangedFixtures unchanged_{"mbr-mixed"};
  UnchangedImage unchangedCarve_{CarveFixtureImage("carve-basic")};
  TempDir programFolder_;
  TempDir out_;
  TestWizard t_;
  ScriptedWizardDialogs dialogs_;
  Wizard wizard_{t_.state, dialogs_, t_.window.Pause()};
};

TEST_F(StatusFields, SelectedDiskAndItsDetailsTellTheHighlightedDisksOwnSize) {
  // Next reads Disk0; a click on Disk1 afterwards shows Disk1's size, not Disk0's.
  ChooseDiskAndMode("Disk0", kQuickSearchMode);
  wizard_.Back();
  ClickDisk("Disk1");
  EXPECT_EQ(Text(kSelectedDiskValue), DiskText("Disk1", CarveFixtureImage("carve-basic")));
  // 2,048,000 bytes: 1.95 MiB, neither "1 MB" nor a whole 2.
  EXPECT_EQ(Text(kSelectedDiskValue), "Disk1 (1.9 MB)");
  EXPECT_EQ(t_.window.List(kDetailsList).FirstCells().at(6), "Disk Size  : 1.9 MB");
  ClickDisk("Disk0");
  EXPECT_EQ(Text(kSelectedDiskValue), DiskText("Disk0", FixtureImage("mbr-mixed")));
  EXPECT_EQ(t_.window.List(kDetailsList).FirstCells().at(6), "Disk Size  : 64.0 MB");
}

TEST_F(StatusFields, FieldsFollowEachStepAndKeepNothingAfterBackOrAnotherDisk) {
  ChooseDiskAndMode("Disk0", kQuickSearchMode);
  EXPECT_EQ(Text(kModeValue), "Quick Search");
  EXPECT_EQ(Text(kBootSectorsValue), std::to_string(t_.state.partitionTable.count));
  EXPECT_EQ(Text(kRangeValue), "");  // no partition chosen yet
  PickPartition(kReiserStart);
  const std::uint64_t size = t_.state.currentPartition.sizeSectors;
  ASSERT_GT(size, 0u);
  EXPECT_EQ(Text(kRangeValue), std::to_string(kReiserStart) + " - " + std::to_string(kReiserStart + size - 1));

  Build(FileSearchKind::Quick);
  ASSERT_EQ(t_.state.stage, WizardStage::Catalogue);
  EXPECT_EQ(Text(kDirectoriesValue), std::to_string(t_.state.catalogue.folderList.size()));
  EXPECT_EQ(Text(kFileSystemValue), "ReiserFS 3.5, 1 KB");
  EXPECT_EQ(Text(kSearchModeValue), "Quick File/Folder Search");

  // Back to the partitions: the catalogue's fields go, the partition's stay.
  wizard_.Back();
  for (const int id : {kFileSystemValue, kDirectoriesValue, kSearchModeValue}) EXPECT_EQ(Text(id), "") << id;
  EXPECT_NE(Text(kRangeValue), "");
  EXPECT_EQ(Text(kBootSectorsValue), std::to_string(t_.state.partitionTable.count));

  // Back to the first step: only the disk and the mode are still chosen, and they are
  // offered as chosen: the modes, the mode's button and Next.
  wizard_.Back();
  ExpectNoSearchValues("first step");
  EXPECT_EQ(Text(kModeValue), "Quick Search");
  for (const int id : {kQuickSearchMode, kAdvancedSearchMode, kRawRecoveryMode}) EXPECT_TRUE(At(id).enabled) << id;
  EXPECT_TRUE(At(kQuickSearchMode).checked);
  EXPECT_TRUE(At(kNextButton).enabled);
  EXPECT_FALSE(t_.window.List(kDetailsList).Rows().empty());  // the disk's details again

  // Raw recovery of the other disk: its range, and nothing of the partitions.
  ChooseDiskAndMode("Disk1", kRawRecoveryMode);
  const std::uint64_t sectors = fs::file_size(CarveFixtureImage("carve-basic")) / 512;
  EXPECT_EQ(Text(kRangeValue), "0 - " + std::to_string(sectors - 1));
  for (const int id : {kBootSectorsValue, kFileSystemValue, kDirectoriesValue, kSearchModeValue})
    EXPECT_EQ(Text(id), "") << id;
  wizard_.Command(kRawSectorRange);
  EXPECT_EQ(Text(kRangeValue), "0 - " + std::to_string(sectors - 1));
  wizard_.EditRawRange(kRawStartSector, "100");
  EXPECT_EQ(Text(kRangeValue), "100 - " + std::to_string(sectors - 1));
  wizard_.EditRawRange(kRawEndSector, "12x");
  EXPECT_EQ(Text(kRangeValue), "");
  wizard_.EditRawRange(kRawEndSector, "200");
  EXPECT_EQ(Text(kRangeValue), "100 - 199");

  wizard_.Back();
  ExpectNoSearchValues("back from raw recovery");
  EXPECT_TRUE(At(kRawRecoveryMode).checked);
  EXPECT_TRUE(At(kNextButton).enabled);
}

TEST_F(StatusFields, CancelledLoadLogLeavesTheHighlightedDiskReadyForNext) {
  ClickDisk("Disk0");
  wizard_.HoverMode(kAdvancedSearchMode);
  wizard_.Command(kLoadLogButton);  // the file dialog is cancelled
  wizard_.Workers().WaitAll();
  EXPECT_EQ(t_.state.stage, WizardStage::DiskAndMode);
  EXPECT_TRUE(At(kDiskTree).shown);
  EXPECT_TRUE(At(kAdvancedSearchMode).enabled && At(kAdvancedSearchMode).checked);
  EXPECT_TRUE(At(kNextButton).enabled);
  EXPECT_EQ(Text(kSelectedDiskValue), DiskText("Disk0", FixtureImage("mbr-mixed")));
  EXPECT_EQ(Text(kModeValue), "Advanced Search");
}

TEST_F(StatusFields, FolderRowsShowTheirObjectIdsAndOpenAsTheirEntriesWhateverTheOrder) {
  ChooseDiskAndMode("Disk0", kQuickSearchMode);
  PickPartition(kReiserStart);
  Build(FileSearchKind::Quick);
  ASSERT_EQ(t_.state.stage, WizardStage::Catalogue);
  const Catalogue& catalogue = t_.state.catalogue;
  for (const bool sorted : {false, true}) {
    if (sorted) {
      ASSERT_TRUE(wizard_.SortList(kIdColumn, true));
    }
    const ListModel list = t_.window.List(kDetailsList);
    std::size_t folders = 0;
    for (std::size_t row = 0; row < list.RowCount(); ++row) {
      const ListedRow listed = t_.state.shownFolder.entries.at(row);
      const CatalogueEntry& entry = listed.folder ? catalogue.folderList[listed.index]
                                                  : catalogue.fileList[listed.index];
      EXPECT_EQ(list.Cell(row, kNameColumn), catalogue.Name(entry)) << row;
      EXPECT_EQ(list.Cell(row, kIdColumn), std::to_string(entry.objectId)) << catalogue.Name(entry);
      folders += listed.folder;
    }
    ASSERT_GT(folders, 1u);
  }
  // The first row (sorted by ID, descending) is a folder: opening it shows that folder.
  const ListedRow first = t_.state.shownFolder.entries.at(0);
  ASSERT_TRUE(first.folder);
  const std::string name(catalogue.Name(catalogue.folderList[first.index]));
  const std::uint32_t id = catalogue.folderList[first.index].objectId;
  wizard_.OpenListRow(0);
  EXPECT_EQ(Text(kStatusText), "\\" + name);
  for (const ListedRow& row : t_.state.shownFolder.entries) {
    const CatalogueEntry& entry = row.folder ? catalogue.folderList[row.index] : catalogue.fileList[row.index];
    EXPECT_EQ(entry.parentId, id) << catalogue.Name(entry);
  }
}

TEST_F(StatusFields, DirectoryListViewLeavesNoPrivateFolderBehindAtExit) {
  ChooseDiskAndMode("Disk0", kQuickSearchMode);
  PickPartition(kReiserStart);
  Build(FileSearchKind::Quick);
  wizard_.Command(kMenuDirectoryView);
  ASSERT_EQ(t_.window.OpenedDocuments().size(), 1u);
  const fs::path folder = fs::path(t_.window.OpenedDocuments()[0]).parent_path();
  ASSERT_TRUE(fs::is_directory(folder));
  t_.answers.AddYesNo(true);
  wizard_.Exit();
  EXPECT_FALSE(fs::exists(folder));
}

}  // namespace
}  // namespace vantrel::test
