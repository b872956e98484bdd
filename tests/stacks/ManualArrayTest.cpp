// Arrays described by hand: the text of --raid, what it refuses and why, and the fixture
// stacks put together by hand from copies of their members with the md superblocks wiped.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "stacks/ManualArray.h"
#include "stacks/StackAssembly.h"
#include "support/Fixtures.h"
#include "support/Sha256.h"
#include "support/TempDir.h"
#include "support/WipedMembers.h"

namespace vantrel::test {
namespace {

ManualArrayParameters Parsed(const std::string& text) {
  const ParsedManualArray parsed = ParseManualArray(text);
  EXPECT_TRUE(parsed.parameters) << text << ": " << parsed.error;
  return parsed.parameters.value_or(ManualArrayParameters{});
}

TEST(ManualArray, TextGivesLevelChunkMembersLayoutAndOffset) {
  const ManualArrayParameters raid5 = Parsed("5:128K:0p1,1p1,missing,3p1:left-asymmetric:2048");
  EXPECT_EQ(raid5.level, 5);
  EXPECT_EQ(raid5.chunkBytes, 131072u);
  ASSERT_EQ(raid5.members.size(), 4u);
  EXPECT_EQ(raid5.members[1], (ManualMember{false, 1, 1}));
  EXPECT_TRUE(raid5.members[2].missing);
  EXPECT_EQ(raid5.layout, 0u);
  EXPECT_EQ(raid5.dataOffsetBytes, 2048u * 512);

  // A bare chunk is KiB, a bare offset sectors; the layout defaults to left-symmetric / near=2.
  const ManualArrayParameters plain = Parsed("raid6:64:0,1,2,3");
  EXPECT_EQ(plain.chunkBytes, 65536u);
  EXPECT_EQ(plain.layout, 2u);
  EXPECT_EQ(plain.dataOffsetBytes, 0u);
  EXPECT_EQ(Parsed("10:1M:0,1,2,3").layout, 0x102u);
  EXPECT_EQ(Parsed("10:1M:0,1,2,3:f2").layout, 0x201u);
  EXPECT_EQ(Parsed("10:1M:0,1,2,3:o2").layout, 0x10201u);
  EXPECT_EQ(Parsed("0:64K:0,1::1M").dataOffsetBytes, 1048576u);
  EXPECT_EQ(Parsed("1:0:0,1").chunkBytes, 0u);

  // The text of a parameters reads back as the same parameters.
  for (const std::string text : {"5:128K:0p1,1p1,missing,3p1:left-asymmetric:2048", "1:0:0,1", "10:1M:0,1,2,3:o2",
                                 "6:4K:0,1,2,3,4:parity-first:8", "4:512K:2,0,1"})
    EXPECT_EQ(Parsed(ManualArrayText(Parsed(text))), Parsed(text)) << text;
}

TEST(ManualArray, BadTextIsRefusedWithTheReason) {
  const auto error = [](const std::string& text) {
    const ParsedManualArray parsed = ParseManualArray(text);
    EXPECT_FALSE(parsed.parameters) << text;
    return parsed.error;
  };
  EXPECT_NE(error("5:64K").find("LEVEL:CHUNK:MEMBERS"), std::string::npos);
  EXPECT_NE(error("7:64K:0,1").find("levels read are"), std::string::npos);
  EXPECT_NE(error("5:48K:0,1,2").find("power of two"), std::string::npos);
  EXPECT_NE(error("5:2K:0,1,2").find("power of two"), std::string::npos);
  EXPECT_NE(error("5:64K:0,x,2").find("member \"x\""), std::string::npos);
  EXPECT_NE(error("5:64K:0,1p0,2").find("member \"1p0\""), std::string::npos);
  EXPECT_NE(error("5:64K:0,1,1").find("given twice"), std::string::npos);
  EXPECT_NE(error("5:64K:0").find("2 to"), std::string::npos);
  EXPECT_NE(error("5:64K:0,1,2:diagonal").find("layout diagonal"), std::string::npos);
  EXPECT_NE(error("0:64K:0,1:ls").find("no layout"), std::string::npos);
  EXPECT_NE(error("0:64K:0,1::12x").find("offset"), std::string::npos);
  EXPECT_NE(error("0:64K:0,1::1T").find("offset"), std::string::npos);
  EXPECT_NE(error("0:64K:0,missing").find("missing"), std::string::npos);
  EXPECT_NE(error("5:64K:0,missing,missing").find("2 missing"), std::string::npos);
  EXPECT_NE(error("6:64K:0,1,2").find("cannot be read"), std::string::npos);
  EXPECT_TRUE(ParseManualArray("6:64K:0,missing,2,missing").parameters);
}

struct Opened {
  DiskNameTable names;
  DiskInfoStore info;
  OpenedDisks result;
};

std::unique_ptr<Opened> Open(const std::vector<std::string>& images, const std::vector<std::string>& arrays) {
  auto opened = std::make_unique<Opened>();
  std::vector<NamedDisk> named;
  for (const std::string& image : images) named.push_back({image, {}});
  std::vector<ManualArrayParameters> parameterSets;
  for (const std::string& text : arrays) parameterSets.push_back(Parsed(text));
  opened->result = OpenDisksAndStacks(opened->names, opened->info, named, "/sys/block", parameterSets);
  return opened;
}

std::string Sha256OfDisk(const Opened& opened, std::size_t n, std::uint64_t bytes) {
  std::string data(static_cast<std::size_t>(bytes), '\0');
  EXPECT_EQ(opened.names.Source(n)->Read(0, std::as_writable_bytes(std::span(data.data(), data.size()))),
            ReadOutcome::Ok);
  return Sha256Of(data);
}

TEST(ManualArray, WipedStacksPutTogetherByHandReadAsTheMachineReadThem) {
  const TempDir dir;
  // The stripe: RAID0 of three whole disks, 64 KiB chunks; given in another order.
  const std::vector<std::string> stripe = WipedMembers(dir, "stripe");
  auto opened = Open({stripe[2], stripe[0], stripe[1]}, {"0:64K:1,2,0"});
  ASSERT_EQ(opened->names.Count(), 4u) << "no array is found without superblocks, one is put together";
  const StackDescription* array = StackOf(opened->names, 3);
  ASSERT_NE(array, nullptr);
  EXPECT_EQ(array->name, "manual-1");
  EXPECT_EQ(array->members[0], "Disk1 (role 0)");
  EXPECT_EQ(array->state, "assembled by hand (--raid 0:64K:1,2,0::0)");
  const nlohmann::json stripeArray = FixtureManifest("stripe")["stack"]["md_arrays"][0];
  EXPECT_EQ(Sha256OfDisk(*opened, 3, stripeArray["size_sectors"].get<std::uint64_t>() * 512), stripeArray["sha256"]);

  // The NAS: RAID5 over partition 1 of each disk, data 2048 sectors in, with one member left
  // out; the logical volumes are found on the array as on a found one.
  const std::vector<std::string> nas = WipedMembers(dir, "nas");
  opened = Open({nas[0], nas[1], nas[3]}, {"5:128K:0p1,1p1,missing,2p1:ls:2048"});
  EXPECT_TRUE(opened->result.byHandProblems.empty());
  ASSERT_EQ(opened->names.Count(), 6u);
  EXPECT_EQ(StackOf(opened->names, 3)->state,
            "assembled by hand (--raid 5:128K:0p1,1p1,missing,2p1:left-symmetric:2048); degraded: role 2 missing");
  const nlohmann::json nasManifest = FixtureManifest("nas");
  for (const auto& lv : nasManifest["stack"]["lvm"]["lvs"]) {
    std::size_t n = 4;
    while (n < 6 && StackOf(opened->names, n)->name != "store/" + lv["name"].get<std::string>()) ++n;
    ASSERT_LT(n, 6u) << lv["name"];
    EXPECT_EQ(Sha256OfDisk(*opened, n, *opened->names.Source(n)->Size()), lv["sha256"]) << lv["name"];
  }
}

TEST(ManualArray, MembersThatAreNotThereAreProblemsNotArrays) {
  const TempDir dir;
  const std::vector<std::string> stripe = WipedMembers(dir, "stripe");
  auto opened = Open(stripe, {"0:64K:0,1,5", "0:64K:0p1,1,2", "0:64K:0,1,2::40M", "1:0:0,1"});
  EXPECT_EQ(opened->result.byHandProblems,
            (std::vector<std::string>{"--raid 0:64K:0,1,5::0: there is no given disk 5 to be a member (3 given)",
                                      "--raid 0:64K:0p1,1,2::0: Disk0 has no partition 1",
                                      "--raid 0:64K:0,1,2::81920: a member is no larger than the data offset and a "
                                      "chunk"}));
  EXPECT_EQ(opened->names.Count(), 4u);  // the RAID1 of the last text
}

}  // namespace
}  // namespace vantrel::test
