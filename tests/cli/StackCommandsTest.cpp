// The console over member disks of md arrays and LVM2 volume groups: the arrays and logical
// volumes are listed after the given disks and their files come out byte for byte.

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "support/CliRunner.h"
#include "support/Fixtures.h"
#include "support/Sha256.h"
#include "support/TempDir.h"
#include "support/UnchangedImage.h"
#include "support/WipedMembers.h"

namespace vantrel::test {
namespace {

// The listed disk that is the manifest's volume: an array by its UUID, a logical volume by its name.
int ListedDiskOf(const nlohmann::json& disks, const nlohmann::json& manifest, const nlohmann::json& volume) {
  for (const auto& disk : disks["disks"]) {
    if (!disk.contains("kind") || disk["kind"] != volume["kind"]) continue;
    if (volume["kind"] == "lv" && disk["stackName"] == volume["name"]) return disk["index"];
    // An array put together by hand has no UUID.
    if (volume["kind"] == "md" && (disk["uuid"] == manifest["stack"]["md_arrays"][0]["uuid"] || disk["uuid"] == ""))
      return disk["index"];
  }
  return -1;
}

// Saves every volume of the manifest that holds files (the first the quick search finds on
// it) and compares each file with its checksum. arrays: --raid options.
void ExpectEveryFileSaved(const std::string& fixture, const std::vector<std::string>& images, const std::string& what,
                          const std::string& arrays = {}) {
  const nlohmann::json manifest = FixtureManifest(fixture);
  const CliRun listed = RunCli(DiskOptions(images) + arrays + "disks --json");
  ASSERT_EQ(listed.exitCode, 0) << what << ": " << listed.err;
  const nlohmann::json disks = nlohmann::json::parse(listed.out);
  for (const auto& volume : manifest["volumes"]) {
    if (!volume.contains("entries")) continue;
    const int disk = ListedDiskOf(disks, manifest, volume);
    ASSERT_GE(disk, static_cast<int>(images.size())) << what << ": " << volume["index"];
    const TempDir out;
    const CliRun saved = RunCli(DiskOptions(images) + arrays + "save --disk-index " + std::to_string(disk) + " --out " +
                                Quoted(out.Path().string()));
    ASSERT_EQ(saved.exitCode, 0) << what << ": " << saved.err;
    int files = 0;
    for (const auto& entry : volume["entries"]) {
      if (entry["kind"] != "file") continue;
      ++files;
      EXPECT_EQ(Sha256OfFile((out.Path() / SavedPath(entry["path"])).string()), entry["sha256"])
          << what << ": " << volume["index"] << " " << entry["path"];
    }
    EXPECT_EQ(files, volume["counts"]["files"].get<int>());
  }
}

TEST(CliStacks, EveryFileOfEveryStackIsSavedWholeFromMembersInAnyOrder) {
  for (const std::string fixture : {"nas", "mirror", "stripe", "dual"}) {
    std::vector<std::string> images = FixtureMemberImages(fixture);
    std::vector<std::unique_ptr<UnchangedImage>> unchanged;
    for (const auto& image : images) unchanged.push_back(std::make_unique<UnchangedImage>(image));
    std::reverse(images.begin(), images.end());
    ExpectEveryFileSaved(fixture, images, fixture);
  }
}

TEST(CliStacks, Raid5WithAMemberLeftOutSavesTheSameFiles) {
  std::vector<std::string> images = FixtureMemberImages("nas");
  images.erase(images.begin() + 2);
  std::swap(images[0], images[1]);
  ExpectEveryFileSaved("nas", images, "without member 2");
}

TEST(CliStacks, ArraysWhoseSuperblocksAreGoneArePutTogetherByHand) {
  const TempDir dir;
  std::vector<std::string> stripe = WipedMembers(dir, "stripe");
  std::swap(stripe[0], stripe[2]);
  ExpectEveryFileSaved("stripe", stripe, "stripe by hand", "--raid 0:64:2,1,0 ");
  const std::vector<std::string> nas = WipedMembers(dir, "nas");
  ExpectEveryFileSaved("nas", {nas[3], nas[0], nas[1]}, "nas by hand", "--raid 5:128K:1p1,2p1,missing,0p1:ls:1M ");
  const std::vector<std::string> mirror = WipedMembers(dir, "mirror");
  ExpectEveryFileSaved("mirror", mirror, "mirror by hand", "--raid 1:0:0,1 ");

  const CliRun bad = RunCli(DiskOptions(stripe) + "--raid 5:64K:0,1,2,3,4 disks");
  EXPECT_EQ(bad.exitCode, 1);
  EXPECT_EQ(
      bad.err,
      "vantrel-cli: --raid 5:64K:0,1,2,3,4:left-symmetric:0: there is no given disk 3 to be a member (3 given)\n");
  const CliRun unreadable = RunCli(DiskOptions(stripe) + "--raid 6:64K:0,1 disks");
  EXPECT_EQ(unreadable.exitCode, 1);
  EXPECT_NE(unreadable.err.find("--raid: this array cannot be read"), std::string::npos) << unreadable.err;
}

// A stack whose md superblocks are wiped, its members given in another order than their
// roles, and the --raid the search must rank first (it finds the order too).
struct WipedStack {
  std::string fixture;
  std::vector<std::size_t> given;
  std::string raid;
};

// Named by its fixture in the test's listing.
void PrintTo(const WipedStack& stack, std::ostream* out) { *out << stack.fixture; }

class CliRaidSearch : public testing::TestWithParam<WipedStack> {};

// One fixture a test: the search over five members alone takes minutes under the sanitizers.
TEST_P(CliRaidSearch, FindsTheWipedArrayAndTheFirstCandidateReadsWhole) {
  const TempDir dir;
  const WipedStack& stack = GetParam();
  const std::vector<std::string> wiped = WipedMembers(dir, stack.fixture);
  std::vector<std::string> images;
  for (const std::size_t member : stack.given) images.push_back(wiped[member]);
  const CliRun search = RunCli(DiskOptions(images) + "partitions --search raid --json");
  ASSERT_EQ(search.exitCode, 0) << search.err;
  const nlohmann::json found = nlohmann::json::parse(search.out);
  ASSERT_FALSE(found["candidates"].empty()) << search.out;
  const std::string best = found["candidates"][0]["raid"];
  EXPECT_EQ(best, stack.raid);
  ExpectEveryFileSaved(stack.fixture, images, stack.fixture + " from the raid search", "--raid " + best + " ");
}

INSTANTIATE_TEST_SUITE_P(Fixtures, CliRaidSearch,
                         testing::Values(WipedStack{"stripe", {2, 0, 1}, "0:64K:1,2,0::0"},
                                         WipedStack{"mirror", {1, 0}, "1:0:0,1::0"},
                                         WipedStack{"nas", {3, 1, 0, 2}, "5:128K:2p1,1p1,3p1,0p1:left-symmetric:2048"},
                                         WipedStack{"dual", {4, 2, 0, 3, 1}, "6:32K:2,4,1,3,0:left-symmetric:2048"}),
                         [](const testing::TestParamInfo<WipedStack>& stack) { return stack.param.fixture; });

TEST(CliStacks, TheRaidSearchSaysItsScoresAndWhenNothingHoldsTogether) {
  const TempDir dir;
  const CliRun text = RunCli(DiskOptions(WipedMembers(dir, "stripe")) + "partitions --search raid");
  EXPECT_NE(text.out.find("  0   score     495  (495 blocks in place, 0 amiss)  --raid 0:64K:0,1,2::0\n"),
            std::string::npos)
      << text.out;
  const CliRun none = RunCli(DiskOptions({FixtureImage("bare-36"), FixtureImage("mbr-mixed")}) +
                             "partitions --search raid --json");
  EXPECT_EQ(nlohmann::json::parse(none.out)["messages"][0], "No array found on which a ReiserFS volume holds together")
      << none.out;
}

TEST(CliStacks, DisksJsonDescribesArraysAndVolumes) {
  const CliRun run = RunCli(DiskOptions(FixtureMemberImages("nas")) + "disks --json");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const nlohmann::json disks = nlohmann::json::parse(run.out)["disks"];
  ASSERT_EQ(disks.size(), 7u);
  EXPECT_FALSE(disks[0].contains("kind"));  // a given disk lists as before
  const nlohmann::json& array = disks[4];
  EXPECT_EQ(array["kind"], "md");
  EXPECT_EQ(array["level"], "raid5");
  EXPECT_EQ(array["chunk"], 131072);
  EXPECT_EQ(array["layout"], "left-symmetric");
  EXPECT_EQ(array["state"], "clean");
  EXPECT_EQ(array["members"].size(), 4u);
  EXPECT_EQ(array["size"], 282624 * 512);
  const nlohmann::json& media = disks[5];
  EXPECT_EQ(media["kind"], "lv");
  EXPECT_EQ(media["stackName"], "store/media");
  EXPECT_EQ(media["volumeGroup"], "store");
  EXPECT_EQ(media["segments"].size(), 2u);

  const CliRun text = RunCli(DiskOptions(FixtureMemberImages("mirror")) + "disks");
  EXPECT_NE(text.out.find("Disk2  md:md-7cf61c9f"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("Level   : raid1"), std::string::npos);
}

}  // namespace
}  // namespace vantrel::test
