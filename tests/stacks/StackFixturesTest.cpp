// The arrays and logical volumes of the fixture stacks (made by the real tools), put
// together from their member images in any order: each reads byte for byte as the machine
// that made it read it, also with a member left out, and no member is written.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "base/LittleEndian.h"
#include "stacks/MdSuperblock.h"
#include "stacks/SourceSlice.h"
#include "stacks/StackAssembly.h"
#include "support/Fixtures.h"
#include "support/Sha256.h"
#include "support/TempDir.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

struct Opened {
  DiskNameTable names;
  DiskInfoStore info;
  OpenedDisks result;
};

std::unique_ptr<Opened> Open(const std::vector<std::string>& images) {
  auto opened = std::make_unique<Opened>();
  std::vector<NamedDisk> named;
  for (const std::string& image : images) named.push_back({image, {}});
  opened->result = OpenDisksAndStacks(opened->names, opened->info, named);
  return opened;
}

std::string Sha256OfSource(DiskSource& source) {
  std::string bytes(static_cast<std::size_t>(*source.Size()), '\0');
  const auto span = std::as_writable_bytes(std::span(bytes.data(), bytes.size()));
  EXPECT_EQ(source.Read(0, span), ReadOutcome::Ok);
  return Sha256Of(bytes);
}

// The put-together disk listed as `path` ("lvm:store/docs") or with that array UUID, or -1.
int DiskWithPath(const Opened& opened, const std::string& path) {
  for (std::size_t n = 0; n < opened.names.Count(); ++n) {
    const StackDescription* stack = StackOf(opened.names, n);
    if (opened.names.Entry(n)->path == path || (stack != nullptr && "md:" + stack->uuid == path))
      return static_cast<int>(n);
  }
  return -1;
}

// Every array (by "md:" and its UUID) and logical volume of the manifest.
std::vector<std::pair<std::string, std::string>> ExpectedVolumes(const std::string& fixture) {
  const nlohmann::json manifest = FixtureManifest(fixture);
  std::vector<std::pair<std::string, std::string>> volumes;
  for (const auto& array : manifest["stack"]["md_arrays"])
    volumes.emplace_back("md:" + array["uuid"].get<std::string>(), array["sha256"]);
  if (manifest["stack"].contains("lvm"))
    for (const auto& lv : manifest["stack"]["lvm"]["lvs"])
      volumes.emplace_back("lvm:" + lv["vg"].get<std::string>() + "/" + lv["name"].get<std::string>(), lv["sha256"]);
  return volumes;
}

void ExpectVolumesRead(const std::string& fixture, const std::vector<std::string>& images, const std::string& what) {
  auto opened = Open(images);
  EXPECT_TRUE(opened->result.problems.empty()) << what;
  for (const auto& [path, sha256] : ExpectedVolumes(fixture)) {
    const int disk = DiskWithPath(*opened, path);
    ASSERT_GE(disk, static_cast<int>(images.size())) << what << ": " << path << " is not listed after the given disks";
    EXPECT_EQ(Sha256OfSource(*opened->names.Source(static_cast<std::size_t>(disk))), sha256) << what << ": " << path;
  }
}

TEST(StackFixtures, EveryArrayAndVolumeReadsAsTheMachineReadItInAnyOrder) {
  for (const std::string fixture : {"nas", "mirror", "stripe", "dual", "mdmix"}) {
    std::vector<std::string> images = FixtureMemberImages(fixture);
    std::vector<std::unique_ptr<UnchangedImage>> unchanged;
    for (const auto& image : images) unchanged.push_back(std::make_unique<UnchangedImage>(image));
    ExpectVolumesRead(fixture, images, fixture);
    std::reverse(images.begin(), images.end());
    ExpectVolumesRead(fixture, images, fixture + " reversed");
    std::rotate(images.begin(), images.begin() + 1, images.end());
    ExpectVolumesRead(fixture, images, fixture + " rotated");
  }
}

TEST(StackFixtures, Raid5WithAnyMemberLeftOutReadsTheSame) {
  const std::vector<std::string> images = FixtureMemberImages("nas");
  for (std::size_t left = 0; left < images.size(); ++left) {
    std::vector<std::string> given = images;
    given.erase(given.begin() + static_cast<std::ptrdiff_t>(left));
    ExpectVolumesRead("nas", given, "without member " + std::to_string(left));
    auto opened = Open(given);
    const StackDescription* array = StackOf(opened->names, 3);
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(array->state, "degraded: role " + std::to_string(left) + " missing");
  }
}

TEST(StackFixtures, Raid6WithAnyTwoMembersLeftOutReadsTheSame) {
  const std::vector<std::string> images = FixtureMemberImages("dual");
  for (std::size_t first = 0; first < images.size(); ++first)
    for (std::size_t second = first + 1; second < images.size(); ++second) {
      std::vector<std::string> given;
      for (std::size_t i = 0; i < images.size(); ++i)
        if (i != first && i != second) given.push_back(images[i]);
      ExpectVolumesRead("dual", given, "without members " + std::to_string(first) + " and " + std::to_string(second));
      EXPECT_EQ(StackOf(Open(given)->names, 3)->state,
                "degraded: roles " + std::to_string(first) + ", " + std::to_string(second) + " missing");
    }
}

// mdmix: RAID0 of unequal members in zones (original and alternate layouts, metadata 1.2
// and 1.0), linear, RAID10 near, far and offset, as mdadm made them on GPT partitions.
TEST(StackFixtures, Raid10ReadsThroughAnyMembersLeftOutWhileEveryChunkHasACopy) {
  const std::vector<std::string> images = FixtureMemberImages("mdmix");
  // Without disks 0 and 2: near=2 and offset=2 over four keep a copy of every chunk; far=2
  // over three does not, nor does anything that stripes or concatenates.
  auto opened = Open({images[1], images[3]});
  const auto arrays = FixtureManifest("mdmix")["stack"]["md_arrays"];
  for (const auto& array : arrays) {
    const std::string device = array["device"];
    const int disk = DiskWithPath(*opened, "md:" + array["uuid"].get<std::string>());
    if (device != "/dev/md3" && device != "/dev/md5") {
      EXPECT_EQ(disk, -1) << device;
      continue;
    }
    ASSERT_GE(disk, 2) << device;
    EXPECT_EQ(Sha256OfSource(*opened->names.Source(static_cast<std::size_t>(disk))), array["sha256"]) << device;
    EXPECT_EQ(StackOf(opened->names, static_cast<std::size_t>(disk))->state, "degraded: roles 0, 2 missing");
  }
  bool farRefused = false;
  for (const std::string& note : opened->result.stackNotes)
    farRefused = farRefused || note.find("2 of 3 members missing") != std::string::npos;
  EXPECT_TRUE(farRefused);
}

TEST(StackFixtures, EachLegOfAMirrorOrRaid1VolumeIsListedOnItsOwn) {
  auto opened = Open(FixtureMemberImages("mdmix"));
  const auto manifest = FixtureManifest("mdmix");
  for (const auto& volume : manifest["stack"]["lvm_unread"]) {
    const std::string name = "lvm:legs/" + volume["name"].get<std::string>();
    EXPECT_EQ(DiskWithPath(*opened, name), -1) << name;
    for (const std::string leg : {"_mimage_0", "_mimage_1", "_rimage_0", "_rimage_1"}) {
      const int disk = DiskWithPath(*opened, name + leg);
      if (disk < 0) continue;
      EXPECT_EQ(Sha256OfSource(*opened->names.Source(static_cast<std::size_t>(disk))), volume["sha256"]) << name << leg;
    }
  }
  EXPECT_EQ(opened->names.Count(), 4u + 7 + 4);  // the disks, seven arrays, two legs of each volume
}

TEST(StackFixtures, ArraysAndVolumesAreDescribedAndMembersOrderedByRole) {
  std::vector<std::string> images = FixtureMemberImages("nas");
  std::swap(images[0], images[2]);
  auto opened = Open(images);
  ASSERT_EQ(opened->names.Count(), 7u);  // four members, the array, two logical volumes
  const StackDescription* array = StackOf(opened->names, 4);
  ASSERT_NE(array, nullptr);
  EXPECT_EQ(array->level, "raid5");
  EXPECT_EQ(array->chunkBytes, 131072u);
  EXPECT_EQ(array->layout, "left-symmetric");
  EXPECT_EQ(array->state, "clean");
  EXPECT_EQ(array->members, (std::vector<std::string>{"Disk2 partition 1 (role 0)", "Disk1 partition 1 (role 1)",
                                                      "Disk0 partition 1 (role 2)", "Disk3 partition 1 (role 3)"}));
  EXPECT_EQ(opened->names.Entry(4)->readsFrom.size(), 4u);
  const StackDescription* media = StackOf(opened->names, DiskWithPath(*opened, "lvm:store/media"));
  ASSERT_NE(media, nullptr);
  EXPECT_EQ(media->volumeGroup, "store");
  ASSERT_EQ(media->segments.size(), 2u);
  EXPECT_EQ(media->segments[1], "extents 10-18: linear, pv0 (Disk4) from extent 20");
  EXPECT_EQ(StackOf(opened->names, 0), nullptr);
  EXPECT_EQ(opened->info.Read(diskinfo::kModelKey, "Disk4"), "md raid5 nas:store");
  EXPECT_EQ(opened->info.ReadNumber(diskinfo::kSizeKey, "Disk4"), 282624u * 512);
}

TEST(StackFixtures, DisksThatAreNoMemberListAsBefore) {
  auto opened = Open({FixtureImage("mbr-mixed"), FixtureImage("bare-36")});
  EXPECT_EQ(opened->names.Count(), 2u);
  EXPECT_TRUE(opened->result.stackNotes.empty());
}

TEST(StackFixtures, MembersOfContainersThatAreNotReadAreNamed) {
  const TempDir dir;
  std::string ddf(1 << 20, '\0');
  ddf.replace(ddf.size() - 512, 4, "\xde\x11\xde\x11");
  std::string imsm(1 << 20, '\0');
  imsm.replace(imsm.size() - 1024, 24, "Intel Raid ISM Cfg Sig. ");
  std::ofstream(dir / "ddf.img", std::ios::binary) << ddf;
  std::ofstream(dir / "imsm.img", std::ios::binary) << imsm;
  auto opened = Open({(dir / "ddf.img").string(), (dir / "imsm.img").string()});
  EXPECT_EQ(
      opened->result.stackNotes,
      (std::vector<std::string>{"Disk0 is a member of a DDF container, whose arrays are not read",
                                "Disk1 is a member of an Intel Matrix (IMSM) container, whose arrays are not read"}));
}

// A copy of member `index` whose superblock is `eventsBehind` updates older than the others'.
std::string StaleCopy(const TempDir& dir, const std::string& image, std::uint64_t eventsBehind) {
  const std::string copy = (dir / "stale.img").string();
  std::filesystem::copy_file(image, copy);
  std::fstream file(copy, std::ios::in | std::ios::out | std::ios::binary);
  const std::streamoff at = (2048 + 8) * 512;  // 1.2: 4 KiB into partition 1
  std::vector<std::byte> block(4096);
  file.seekg(at);
  file.read(reinterpret_cast<char*>(block.data()), 4096);
  std::uint64_t events = ReadU64(block, 200);
  WriteLittleEndian<std::uint64_t>(block, 200, events - eventsBehind);
  // The checksum: the superblock's 32-bit words summed, folded, without the checksum word.
  const std::size_t bytes = 256 + std::size_t{ReadU32(block, 220)} * 2;
  std::uint64_t sum = 0;
  for (std::size_t i = 0; i + 4 <= bytes; i += 4)
    if (i != 216) sum += ReadU32(block, i);
  WriteLittleEndian<std::uint32_t>(block, 216, static_cast<std::uint32_t>((sum & 0xffffffff) + (sum >> 32)));
  file.seekp(at);
  file.write(reinterpret_cast<const char*>(block.data()), 4096);
  return copy;
}

TEST(StackFixtures, AStaleMemberIsLeftOutAndNamed) {
  const TempDir dir;
  std::vector<std::string> images = FixtureMemberImages("nas");
  images[1] = StaleCopy(dir, images[1], 5);
  auto opened = Open(images);
  const StackDescription* array = StackOf(opened->names, 4);
  ASSERT_NE(array, nullptr);
  EXPECT_EQ(array->state, "degraded: role 1 missing; left out: 1");
  ASSERT_EQ(array->leftOut.size(), 1u);
  EXPECT_EQ(array->leftOut[0], "Disk1 partition 1 (stale: events 13 < 18)");
  EXPECT_EQ(Sha256OfSource(*opened->names.Source(4)), ExpectedVolumes("nas")[0].second);

  // One event behind is within what md itself accepts.
  const TempDir other;
  images[1] = StaleCopy(other, FixtureMemberImages("nas")[1], 1);
  EXPECT_EQ(StackOf(Open(images)->names, 4)->state, "clean");
}

TEST(StackFixtures, SuperblocksOfEveryVersionAreDecoded) {
  const auto find = [](const std::string& image, std::uint64_t start, std::uint64_t bytes) {
    DiskNameTable names;
    DiskInfoStore info;
    OpenDisks(names, info, {{image, {}}});
    SourceSlice member(*names.Source(0), start, bytes);
    return FindMdSuperblock(member);
  };
  const auto nas = find(FixtureMemberImages("nas")[3], 2048 * 512, (96256ull + 2048) * 512);
  ASSERT_TRUE(nas);
  EXPECT_EQ(nas->version, "1.2");
  EXPECT_EQ(UuidText(nas->arrayUuid), "1f636f43:4f380ef2:2fc62c83:19ee213f");
  EXPECT_EQ(nas->name, "nas:store");
  EXPECT_EQ(nas->dataOffset, 2048u);
  EXPECT_EQ(nas->role, 3u);
  EXPECT_EQ(nas->events, 18u);
  EXPECT_TRUE(nas->clean);
  const auto stripe = find(FixtureMemberImages("stripe")[1], 0, 20971520);
  ASSERT_TRUE(stripe);
  EXPECT_EQ(stripe->version, "1.0");
  EXPECT_EQ(stripe->superOffset, 40944u);
  EXPECT_EQ(stripe->role, 1u);
  const auto mirror = find(FixtureMemberImages("mirror")[1], 0, 41943040);
  ASSERT_TRUE(mirror);
  EXPECT_EQ(mirror->version, "0.90");
  EXPECT_EQ(UuidText(mirror->arrayUuid), "7cf61c9f:5526c3db:3d186b3c:53958f34");
  EXPECT_EQ(mirror->geometry.memberSectors, 81792u);
  EXPECT_EQ(mirror->role, 1u);
}

}  // namespace
}  // namespace vantrel::test
