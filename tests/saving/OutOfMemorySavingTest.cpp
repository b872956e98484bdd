// An allocation failure met while saving ends the run where it is: the file being written
// is removed, and every file left in the destination is whole.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/FolderChecks.h"
#include "app/FolderTree.h"
#include "app/SavingCommands.h"
#include "saving/FileBody.h"
#include "support/AllocationFailingDisk.h"
#include "support/Fixtures.h"
#include "support/Sha256.h"
#include "support/TempDir.h"
#include "support/TestWizard.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

TEST(OutOfMemoryWhileSaving, EveryFailurePointLeavesOnlyWholeFilesAndNotTheOneBeingWritten) {
  TestWizard wizard;
  const nlohmann::json partition = wizard.BuildFixtureCatalogue("bare-36", 0, false);
  WizardState& state = wizard.state;
  // The second block of the largest file: the run fails while that file is being written.
  const auto& files = state.catalogue.fileList;
  const CatalogueEntry& large = *std::max_element(files.begin(), files.end(),
                                                  [](const auto& a, const auto& b) { return a.size < b.size; });
  const FileBody body = BodyCollector(CurrentPartitionSource(state), state.catalogue, BodySource::Tree)
                            .Collect(large.objectId, large.parentId);
  ASSERT_GT(body.blocks.size(), 2u);
  const std::uint64_t byte = std::uint64_t{body.blocks[1].block} * 4096 + 100;

  auto failing = std::make_unique<AllocationFailingDisk>(FixtureImage("bare-36"));
  AllocationFailingDisk& disk = *failing;
  state.disks.currentIndex = static_cast<std::uint16_t>(
      state.disks.names.Add({FixtureImage("bare-36"), {}, std::move(failing)}));
  ToggleCheck(state, wizard.window.TreeRoot(TreeId::Folder));
  state.saving.mode = SaveMode::CheckedInTree;
  const auto save = [&](const fs::path& folder) {
    state.saving.run.Reset();
    state.destinationPath = folder.string();
    RunSaving(state);
  };

  TempDir whole;
  disk.FailAt(byte, 0);
  save(whole.Path());
  const int reads = disk.ReadsSeen();
  ASSERT_GE(reads, 1);
  std::string largePath;
  for (const auto& entry : fs::recursive_directory_iterator(whole.Path()))
    if (entry.is_regular_file() && entry.file_size() == large.size)
      largePath = fs::relative(entry.path(), whole.Path());
  ASSERT_FALSE(largePath.empty());

  for (int n = 1; n <= reads; ++n) {
    TempDir out;
    disk.FailAt(byte, n);
    EXPECT_THROW(save(out.Path()), std::bad_alloc);
    EXPECT_FALSE(fs::exists(out.Path() / largePath)) << "failure at read " << n;
    int kept = 0;
    for (const auto& entry : partition["entries"]) {
      const fs::path saved = out.Path() / SavedPath(entry["path"]);
      if (entry["kind"] == "dir" || !fs::exists(saved)) continue;
      ++kept;
      EXPECT_EQ(Sha256OfFile(saved.string()), entry["sha256"]) << entry["path"];
    }
    EXPECT_GT(kept, 0);  // the files before it stay
  }
}

}  // namespace
}  // namespace vantrel::test
