// What the window does when a run cannot go on: an allocation failure ends the worker with
// "Out Of Memory" and undoes what the run began; a destination on the disk being
// recovered is refused before anything is written.

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <stdexcept>

#include "app/ControlIds.h"
#include "disk/DestinationOnSource.h"
#include "app/FolderTree.h"
#include "base/OutOfMemory.h"
#include "app/RawRecoveryPanel.h"
#include "app/SavingCommands.h"
#include "app/Wizard.h"
#include "app/WizardState.h"
#include "support/AllocationFailingDisk.h"
#include "support/FakeDeviceTree.h"
#include "support/Fixtures.h"
#include "support/ScriptedWizardDialogs.h"
#include "support/TempDir.h"
#include "support/TestWizard.h"

namespace vantrel::test {
namespace {

using namespace control;
namespace fs = std::filesystem;

TEST(WorkerSlotsOnAllocationFailure, WorkerEndsAndTheHandlerHearsWhichOne) {
  WorkerSlots slots;
  std::vector<Worker> failed;
  slots.SetOutOfMemoryHandler([&](Worker slot) { failed.push_back(slot); });
  slots.Start(Worker::Saving, [] { throw std::bad_alloc(); });
  slots.WaitAll();
  slots.Start(Worker::Raw, [] { std::vector<int>().reserve(std::numeric_limits<std::size_t>::max()); });
  slots.WaitAll();
  slots.Start(Worker::Catalogue, [] {});
  slots.WaitAll();
  EXPECT_EQ(failed, (std::vector<Worker>{Worker::Saving, Worker::Raw}));
  EXPECT_FALSE(slots.AnyRunning());
  EXPECT_FALSE(slots.IsSet(Worker::Saving));
  EXPECT_TRUE(RunUnlessOutOfMemory([] {}));
  EXPECT_FALSE(RunUnlessOutOfMemory([] { throw std::length_error("size"); }));
}

class WindowRunFailures : public ::testing::Test {
 protected:
  // mbr-mixed as Disk0, read through a disk that can be made to fail; the first partition
  // found by the quick search selected.
  void Start() {
    const std::string image = FixtureImage("mbr-mixed");
    t_.state.files.programFolder = programFolder_.Path().string();
    t_.state.files.tempFolder = out_.Path().string();
    t_.UseImages({image});
    t_.state.disks.names.Clear();
    auto failing = std::make_unique<AllocationFailingDisk>(image);
    disk_ = failing.get();
    t_.state.disks.names.Add({image, {}, std::move(failing)});
    wizard_.Initialise("");
    const TreeItemHandle disk = t_.window.TreeChildren(TreeId::Disk, t_.window.TreeRoot(TreeId::Disk)).at(0);
    wizard_.ClickDiskItem(disk);
    wizard_.HoverMode(kQuickSearchMode);
    wizard_.Next();
    wizard_.Workers().WaitAll();
    ASSERT_GE(t_.state.partitionTable.count, 1u);
    wizard_.ClickPartitionItem(t_.state.partitionTable.records[0].treeItem);
  }
  std::uint64_t PartitionByte() const { return t_.state.currentPartition.partitionStartSector * 512; }
  void BuildCatalogue() {
    dialogs_.AddFileSearchKind(FileSearchKind::Quick);
    wizard_.Next();
    wizard_.Workers().WaitAll();
  }
  std::string LastMessage() const { return t_.window.MessageTexts().back(); }

  TempDir programFolder_;
  TempDir out_;
  TestWizard t_;
  ScriptedWizardDialogs dialogs_;
  Wizard wizard_{t_.state, dialogs_, t_.window.Pause()};
  AllocationFailingDisk* disk_ = nullptr;
};

TEST_F(WindowRunFailures, CatalogueBuildThatRunsOutOfMemoryLeavesThePartitionStepReady) {
  Start();
  disk_->FailAt(PartitionByte() + 65536, 1);  // the superblock, read again by the build
  BuildCatalogue();
  EXPECT_EQ(LastMessage(), kOutOfMemory);
  EXPECT_EQ(t_.window.Messages().back().kind, ShownMessage::Kind::SystemError);
  EXPECT_EQ(t_.state.stage, WizardStage::Partitions);
  EXPECT_TRUE(t_.state.catalogue.fileList.empty());
  EXPECT_FALSE(t_.window.Control(kStopButton).shown);
  EXPECT_TRUE(t_.window.Control(kPartitionTree).enabled);
  EXPECT_FALSE(wizard_.Busy());

  // Nothing stays in the way of the next build.
  disk_->FailAt(0, 0);
  BuildCatalogue();
  EXPECT_EQ(t_.state.stage, WizardStage::Catalogue);
  EXPECT_FALSE(t_.state.catalogue.fileList.empty());
}

TEST_F(WindowRunFailures, PartitionSearchThatRunsOutOfMemoryLeavesTheFirstStep) {
  Start();
  wizard_.Back();
  disk_->FailAt(PartitionByte() + 65536, 1);  // the superblock the scan comes to
  wizard_.HoverMode(kAdvancedSearchMode);
  wizard_.Next();
  wizard_.Workers().WaitAll();
  EXPECT_EQ(LastMessage(), kOutOfMemory);
  EXPECT_EQ(t_.state.stage, WizardStage::DiskAndMode);
  EXPECT_EQ(t_.window.CurrentView(), WizardView::FirstStep);
  EXPECT_FALSE(t_.window.Control(kStopButton).shown);
}

TEST_F(WindowRunFailures, RawRecoveryThatRunsOutOfMemoryLeavesThePanelIdle) {
  Start();
  wizard_.Back();
  wizard_.HoverMode(kRawRecoveryMode);
  wizard_.Next();
  disk_->FailAt(512 * 100, 1);  // in the scan's first window
  t_.window.ListSetRowChecked(kRawFileTypesList, 0, true);
  t_.window.AnswerDestinationWith((out_.Path() / "carved").string());
  wizard_.Command(kRawStartButton);
  wizard_.Workers().WaitAll();
  EXPECT_EQ(LastMessage(), kOutOfMemory);
  EXPECT_FALSE(t_.state.rawRecovery.running.load());
  EXPECT_EQ(t_.window.ControlText(kRawStartButton), kStartRecoveryText);
}

class WindowDestinationOnSource : public ::testing::Test {
 protected:
  WindowDestinationOnSource() {
    // Disk0 stands for /dev/sda; the destinations are looked up in a made-up device tree.
    t_.UseMemoryDisk(1600);
    t_.state.disks.names.Clear();
    t_.state.disks.names.Add({"/dev/sda", {}, std::make_unique<MemoryDiskSource>(1600)});
    devices_.AddTwoDisks();
    devices_.Entry(out_.Path().string(), 8, 1, S_IFDIR);  // on sda1
    t_.state.disks.deviceLookup = devices_.Lookup();
  }
  TestWizard t_;
  FakeDeviceTree devices_;
  TempDir out_;
};

TEST_F(WindowDestinationOnSource, SavingAndCarvingAreRefusedWithNothingWritten) {
  t_.state.destinationPath = (out_.Path() / "saved").string();
  t_.state.saving.mode = SaveMode::ChosenInList;
  RunSaving(t_.state);
  EXPECT_EQ(t_.window.MessageTexts(), std::vector<std::string>{kDestinationOnSource});
  EXPECT_FALSE(fs::exists(out_.Path() / "saved"));

  SetUpRawRecoveryLists(t_.window);
  t_.window.ListSetRowChecked(kRawFileTypesList, 0, true);
  ChooseEntireDisk(t_.state);
  t_.window.AnswerDestinationWith((out_.Path() / "carved").string());
  EXPECT_FALSE(StartRawRecovery(t_.state));
  EXPECT_EQ(t_.window.MessageTexts().back(), kDestinationOnSource);
  EXPECT_FALSE(fs::exists(out_.Path() / "carved"));
  EXPECT_TRUE(fs::is_empty(out_.Path()));

  // A folder on another disk is taken.
  devices_.Entry(out_.Path().string(), 8, 17, S_IFDIR);
  t_.state.disks.deviceLookup = devices_.Lookup();
  EXPECT_TRUE(StartRawRecovery(t_.state));
}

}  // namespace
}  // namespace vantrel::test
