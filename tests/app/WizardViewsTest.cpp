// The wizard's views, control by control.

#include <gtest/gtest.h>

#include "app/ControlIds.h"
#include "app/WizardViews.h"
#include "support/TestWizard.h"

namespace vantrel::test {
namespace {

using namespace control;

class WizardViews : public ::testing::Test {
 protected:
  void SetUp() override { wizard_.state.files.programFolder = "/opt/vantrel"; }
  ControlState At(int id) const { return wizard_.window.Control(id); }
  void ExpectShown(std::initializer_list<int> ids, bool shown) {
    for (const int id : ids) EXPECT_EQ(At(id).shown, shown) << id;
  }
  void ExpectEnabled(std::initializer_list<int> ids, bool enabled) {
    for (const int id : ids) EXPECT_EQ(At(id).enabled, enabled) << id;
  }
  std::string Picture() const { return At(kStepPicture).text; }
  TestWizard wizard_;
};

TEST_F(WizardViews, SearchStartHidesTheDiskChoiceAndTakesTheDiskFromTheSelectedLabel) {
  wizard_.state.disks.selectedLabel = "Disk12";
  wizard_.state.recoveryMode = RecoveryMode::QuickSearch;
  wizard_.window.ListInsertRow(kDetailsList, "Physical Disk Number : 12");
  ShowView(wizard_.state, WizardView::SearchingPartitions);
  ExpectShown({kRecoveryModesGroup, kSelectDiskGroup, kQuickSearchMode, kAdvancedSearchMode, kRawRecoveryMode}, false);
  ExpectEnabled({kDiskTree, kNextButton}, false);
  EXPECT_TRUE(At(kStatusText).shown);
  EXPECT_EQ(Picture(), "/opt/vantrel/Step4.bmp");
  EXPECT_EQ(wizard_.window.List(kDetailsList).RowCount(), 0u);
  EXPECT_EQ(wizard_.state.disks.currentIndex, 12);
  EXPECT_EQ(wizard_.window.CurrentView(), WizardView::SearchingPartitions);
  EXPECT_EQ(At(kStatusText).text, "");

  wizard_.state.recoveryMode = RecoveryMode::AdvancedSearch;
  ShowView(wizard_.state, WizardView::SearchingPartitions);
  ExpectShown({kStopButton, kSearchProgress}, true);
  EXPECT_EQ(At(kStatusText).text, "Searching Partitions");
}

TEST_F(WizardViews, BackToTheFirstStepResetsTheModesAndHidesAnExistingPartitionTree) {
  wizard_.window.SetChecked(kAdvancedSearchMode, true);
  wizard_.window.SetControlText(kFoundCount, "Partitions Found : 3");
  ShowView(wizard_.state, WizardView::FirstStep);
  EXPECT_TRUE(At(kPartitionTree).shown);  // no partition tree yet: untouched
  ExpectShown({kSearchMoreButton, kPartitionTypeGroup, kBackButton, kStopButton, kSearchProgress}, false);
  ExpectShown({kRecoveryModesGroup, kQuickSearchMode, kAdvancedSearchMode, kRawRecoveryMode, kDiskTree,
               kSelectDiskGroup}, true);
  ExpectEnabled({kQuickSearchMode, kAdvancedSearchMode, kRawRecoveryMode, kNextButton}, false);
  ExpectEnabled({kDiskTree, kSelectDiskGroup}, true);
  EXPECT_FALSE(At(kAdvancedSearchMode).checked);
  EXPECT_EQ(At(kFoundCount).text, "");
  EXPECT_EQ(Picture(), "/opt/vantrel/Step1.bmp");

  wizard_.window.TreeReset(TreeId::Partition, "Disk 0");
  ShowView(wizard_.state, WizardView::FirstStep);
  EXPECT_FALSE(At(kPartitionTree).shown);
}

TEST_F(WizardViews, PartitionListAndCatalogueViews) {
  wizard_.state.recoveryMode = RecoveryMode::AdvancedSearch;
  ShowView(wizard_.state, WizardView::PartitionList);
  EXPECT_EQ(Picture(), "/opt/vantrel/Step4.bmp");
  ExpectShown({kPartitionTree, kBackButton, kSearchMoreButton}, true);
  ExpectShown({kRecoveryModesGroup, kDiskTree, kStopButton, kSearchProgress}, false);
  ExpectEnabled({kPartitionTree, kBackButton}, true);
  ExpectEnabled({kNextButton}, false);

  ShowView(wizard_.state, WizardView::BuildingCatalogue);
  EXPECT_EQ(Picture(), "/opt/vantrel/mount6.bmp");
  ExpectEnabled({kPartitionTree, kBackButton, kNextButton}, false);
  EXPECT_FALSE(At(kSearchMoreButton).shown);

  ShowView(wizard_.state, WizardView::CatalogueTree);
  ExpectShown({kStopButton, kPartitionTree}, false);
  EXPECT_TRUE(At(kFolderTree).shown);
  EXPECT_FALSE(At(kFolderTree).enabled);
  const ListModel list = wizard_.window.List(kDetailsList);
  std::vector<std::string> headings;
  for (const auto& column : list.Columns()) headings.push_back(column.heading);
  EXPECT_EQ(headings, (std::vector<std::string>{"Name", "Type", "Size", "Date", "Time", "ID"}));
  EXPECT_EQ(wizard_.window.List(kDetailsList).Columns()[2].alignment, ColumnAlignment::Right);

  wizard_.window.SetProgress(kSearchProgress, 70);
  ShowView(wizard_.state, WizardView::CatalogueShown);
  EXPECT_EQ(Picture(), "/opt/vantrel/step7.bmp");
  EXPECT_EQ(At(kSearchProgress).progress, 0);
  ExpectEnabled({kBackButton}, true);

  ShowView(wizard_.state, WizardView::BackToPartitions);
  EXPECT_EQ(Picture(), "/opt/vantrel/Step4.bmp");
  ASSERT_EQ(wizard_.window.List(kDetailsList).Columns().size(), 1u);
  EXPECT_EQ(wizard_.window.List(kDetailsList).Columns()[0].heading, "Details");
}

TEST_F(WizardViews, RawPanelComesAndGoesAndBackFromItShowsTheModesAgain) {
  for (const char* type : {"Word", "Excel", "PowerPoint", "Zip"}) {
    const auto row = wizard_.window.ListInsertRow(kRawFileTypesList, type);
    wizard_.window.ListSetRowChecked(kRawFileTypesList, row, true);
  }
  wizard_.window.ListInsertRow(kRawResultsList, "DOC1.DOC");
  wizard_.state.recoveryMode = RecoveryMode::RawRecovery;
  ShowView(wizard_.state, WizardView::RawRecoveryPanel);
  EXPECT_EQ(Picture(), "/opt/vantrel/Step4_1.bmp");
  ExpectShown({kRawFileTypesGroup, kRawMethodGroup, kRawReportGroup, kRawFileTypesList, kRawResultsList,
               kRawEntireDisk, kRawSectorRange, kRawStartSector, kRawEndSector, kRawStartButton, kRawStatus,
               kBackButton}, true);
  ExpectShown({kPartitionTypeGroup, kDetailsList, kRecoveryModesGroup, kDiskTree, kQuickSearchMode}, false);
  EXPECT_TRUE(At(kRawEntireDisk).checked);
  EXPECT_FALSE(wizard_.window.ListRowChecked(kRawFileTypesList, 3));
  EXPECT_TRUE(wizard_.window.List(kRawResultsList).Rows().empty());

  ShowView(wizard_.state, WizardView::RawRecoveryLeft);
  EXPECT_EQ(Picture(), "/opt/vantrel/Step1.bmp");
  // The first step as it was: the modes free to choose, nothing drawn over them.
  ExpectShown({kRawFileTypesGroup, kRawStartButton, kBackButton, kPartitionTypeGroup}, false);
  ExpectShown({kRecoveryModesGroup, kDetailsList, kQuickSearchMode, kDiskTree, kSelectDiskGroup}, true);
}

TEST_F(WizardViews, MoreSearchBracketsAndUnknownCodes) {
  ShowView(wizard_.state, WizardView::MoreSearchRunning);
  ExpectEnabled({kPartitionTree, kSearchMoreButton, kBackButton, kNextButton}, false);
  EXPECT_TRUE(At(kMoreSearchProgress).shown);
  ShowView(wizard_.state, WizardView::MoreSearchDone);
  ExpectEnabled({kPartitionTree, kSearchMoreButton, kBackButton}, true);
  EXPECT_FALSE(At(kMoreSearchProgress).shown);
  EXPECT_FALSE(At(kNextButton).enabled);
  ShowView(wizard_.state, static_cast<WizardView>(2));
  ShowView(wizard_.state, static_cast<WizardView>(11));
  EXPECT_EQ(wizard_.window.CurrentView(), WizardView::MoreSearchDone);
  EXPECT_EQ(StepPictureFile(9, RecoveryMode::RawRecovery), "");  // raw recovery keeps its picture
}

}  // namespace
}  // namespace vantrel::test
