// Raw recovery in one call: the request's checks in the raw recovery step's order, and a
// run that carves into the destination.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "carving/CarveDestination.h"
#include "recovery/CarveDisk.h"
#include "recovery/RecoveryTestDisk.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"

namespace vantrel::test {
namespace {

class CarveDiskTest : public ::testing::Test {
 protected:
  StepResult Carve(const CarveRequest& request) {
    raw_.report = {};
    return CarveDisk(disk_.Disk(), request, raw_, progress_, watchers_);
  }
  CarveRequest AllKinds() {
    CarveRequest request{.destination = out_.Path().string()};
    request.kinds.fill(true);
    return request;
  }

  RecoveryTestDisk disk_{CarveFixtureImage("carve-basic")};
  RecordingWatchers watchers_;
  RawRecoveryProgress progress_;
  RawRecoveryState raw_;
  TempDir out_;
};

TEST_F(CarveDiskTest, ARequestThatCannotRunIsToldWhyBeforeAnythingIsRead) {
  CarveRequest request = AllKinds();
  request.kinds.fill(false);
  request.kinds[kClassicKindCount] = true;  // a kind found in whole files only
  EXPECT_EQ(Carve(request).outcome, StepOutcome::Refused);
  EXPECT_EQ(watchers_.told.back().text, kNoFileTypeChecked);
  EXPECT_EQ(watchers_.told.back().style, MessageStyle::SystemInformation);

  request = AllKinds();
  request.start = 100;
  request.end = 100;
  EXPECT_EQ(Carve(request).outcome, StepOutcome::Refused);
  EXPECT_EQ(watchers_.told.back().text, kStartNotBeforeEnd);

  std::ofstream(out_ / "file") << "in the way";
  request = AllKinds();
  request.destination = (out_ / "file").string();
  EXPECT_EQ(Carve(request).outcome, StepOutcome::Refused);
  EXPECT_EQ(watchers_.told.back().text, kUnableToCreateDirectory);
  EXPECT_EQ(watchers_.told.size(), 3u);

  const StepResult noDisk = CarveDisk(disk_.Disk(1), AllKinds(), raw_, progress_, watchers_);
  EXPECT_EQ(noDisk.outcome, StepOutcome::DiskUnreadable);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out_.Path()), {}), 1);  // the file in the way
}

TEST_F(CarveDiskTest, ARunCarvesTheWholeDiskIntoTheDestination) {
  const StepResult result = Carve(AllKinds());
  ASSERT_TRUE(result.Done()) << result.text;
  ASSERT_FALSE(raw_.report.files.empty());
  for (const CarvedFile& file : raw_.report.files) {
    EXPECT_EQ(std::filesystem::path(file.path).parent_path(), out_.Path());
    EXPECT_EQ(std::filesystem::file_size(file.path), file.bytes);
  }
  EXPECT_TRUE(watchers_.told.empty());
}

// What a run told, in order: "search", "write" and the percentages.
class RecordedProgress : public RawRecoveryProgress {
 public:
  void OnSearching(std::uint64_t) override {
    if (events.empty() || events.back() != "search") events.push_back("search");
  }
  void OnPercent(int percent) override { events.push_back(std::to_string(percent)); }
  void OnWritingToDisk() override { events.push_back("write"); }
  void OnRangeDone() override { events.push_back("done"); }
  std::vector<std::string> events;
};

TEST_F(CarveDiskTest, FilesCarvedWholeAreWrittenToTheDiskWithinTheProgressNotAfterIt) {
  RecoveryTestDisk documents{CarveFixtureImage("whole-documents")};
  RecordedProgress recorded;
  raw_.exactSizes = true;
  ASSERT_TRUE(CarveDisk(documents.Disk(), AllKinds(), raw_, recorded, watchers_).Done());
  ASSERT_FALSE(raw_.report.files.empty());
  const auto& events = recorded.events;
  const auto write = std::find(events.begin(), events.end(), "write");
  ASSERT_NE(write, events.end());
  EXPECT_EQ(std::find(write, events.end(), "search"), events.end()) << "the scan was done before the writing";
  // The bar rises and reaches 100 only once the files are on the disk.
  int last = -1;
  for (auto event = events.begin(); event != events.end(); ++event) {
    if (event->empty() || !std::isdigit(static_cast<unsigned char>(event->front()))) continue;
    const int percent = std::stoi(*event);
    EXPECT_GT(percent, last);
    if (percent == 100) {
      EXPECT_GT(event, write);
    }
    last = percent;
  }
  EXPECT_EQ(last, 100);
  EXPECT_EQ(events.back(), "done");
}

}  // namespace
}  // namespace vantrel::test
