// LVM2 physical volumes, their metadata and the logical volumes read over them.

#include <gtest/gtest.h>

#include <cstring>

#include "base/LittleEndian.h"
#include "stacks/LogicalVolumeSource.h"
#include "stacks/LvmLabel.h"
#include "stacks/StackAssembly.h"
#include "support/MemoryDiskSource.h"

namespace vantrel::test {
namespace {

constexpr std::uint64_t kMetadataAreaBytes = 64 * 1024;
constexpr std::uint64_t kFirstExtentSector = 256;  // pe_start

std::string PvUuid(char c) { return std::string(32, c); }

std::string Dashed(const std::string& bare) { return bare.substr(0, 6) + "-" + bare.substr(6); }

void Put(std::span<std::byte> into, std::size_t at, std::string_view text) {
  std::memcpy(into.data() + at, text.data(), text.size());
}

// A physical volume as the tools write one: label in sector 1, a metadata area at 4 KiB
// whose header points at `text`, extents from sector kFirstExtentSector.
std::unique_ptr<MemoryDiskSource> PhysicalVolume(const std::string& uuid, const std::string& text,
                                                 std::uint64_t sectors) {
  auto disk = std::make_unique<MemoryDiskSource>(sectors);
  const std::span<std::byte> label = disk->Sector(1);
  Put(label, 0, "LABELONE");
  WriteLittleEndian<std::uint64_t>(label, 8, 1);
  WriteLittleEndian<std::uint32_t>(label, 20, 32);
  Put(label, 24, "LVM2 001");
  Put(label, 32, uuid);
  WriteLittleEndian<std::uint64_t>(label, 64, sectors * 512);
  WriteLittleEndian<std::uint64_t>(label, 72, kFirstExtentSector * 512);  // data area, then the list's end
  WriteLittleEndian<std::uint64_t>(label, 104, 4096);                     // metadata area, then the end
  WriteLittleEndian<std::uint64_t>(label, 112, kMetadataAreaBytes);
  WriteLittleEndian<std::uint32_t>(label, 16, LvmChecksum(label.subspan(20)));

  std::span<std::byte> area(disk->Sector(8).data(), kMetadataAreaBytes);
  Put(area, 4, " LVM2 x[5A%r0N*>");
  WriteLittleEndian<std::uint32_t>(area, 20, 1);
  WriteLittleEndian<std::uint64_t>(area, 24, 4096);
  WriteLittleEndian<std::uint64_t>(area, 32, kMetadataAreaBytes);
  WriteLittleEndian<std::uint64_t>(area, 40, 512);
  WriteLittleEndian<std::uint64_t>(area, 48, text.size() + 1);
  Put(area, 512, text);
  WriteLittleEndian<std::uint32_t>(area, 56, LvmChecksum(area.subspan(512, text.size() + 1)));
  WriteLittleEndian<std::uint32_t>(area, 0, LvmChecksum(area.subspan(4, 508)));
  return disk;
}

// Group "vault" over two physical volumes of 16 extents of 8 sectors: "both" is striped over
// them (two 4-sector stripes), "first" lies on pv0 alone, "second" on pv1 alone.
std::string VaultMetadata() {
  return "vault {\nid = \"abcdef-ghij\"\nseqno = 7\nextent_size = 8\n"
         "physical_volumes {\npv0 {\nid = \"" +
         Dashed(PvUuid('a')) +
         "\"\npe_start = 256\npe_count = 16\n}\n"
         "pv1 {\nid = \"" +
         Dashed(PvUuid('b')) +
         "\"\npe_start = 256\npe_count = 16\n}\n}\n"
         "logical_volumes {\n"
         "both {\nid = \"both-id\"\nstatus = [\"READ\", \"VISIBLE\"]\nsegment_count = 1\n"
         "segment1 {\nstart_extent = 0\nextent_count = 4\ntype = \"striped\"\nstripe_count = 2\nstripe_size = 4\n"
         "stripes = [\"pv0\", 0, \"pv1\", 0]\n}\n}\n"
         "first {\nstatus = [\"VISIBLE\"]\nsegment1 {\nstart_extent = 0\nextent_count = 3\ntype = \"striped\"\n"
         "stripe_count = 1\nstripes = [\"pv0\", 5]\n}\n}\n"
         "second {\nstatus = [\"VISIBLE\"]\nsegment1 {\nstart_extent = 0\nextent_count = 2\ntype = \"striped\"\n"
         "stripe_count = 1\nstripes = [\"pv1\", 9]\n}\n}\n"
         "hidden {\nstatus = []\nsegment1 {\nstart_extent = 0\nextent_count = 1\ntype = \"striped\"\n"
         "stripe_count = 1\nstripes = [\"pv1\", 12]\n}\n}\n}\n}\n# a comment\ncontents = \"Text Format Volume "
         "Group\"\n";
}

// Marks every sector of a physical volume's extents with (volume, sector) so reads show where they came from.
void MarkSectors(MemoryDiskSource& disk, char volume, std::uint64_t sectors) {
  for (std::uint64_t s = kFirstExtentSector; s < sectors; ++s) {
    disk.Sector(s)[0] = static_cast<std::byte>(volume);
    WriteLittleEndian<std::uint32_t>(disk.Sector(s), 1, static_cast<std::uint32_t>(s - kFirstExtentSector));
  }
}

std::pair<char, std::uint32_t> Origin(DiskSource& volume, std::uint64_t sector) {
  std::vector<std::byte> bytes(512);
  EXPECT_EQ(volume.Read(sector * 512, bytes), ReadOutcome::Ok);
  return {static_cast<char>(bytes[0]), ReadU32(bytes, 1)};
}

TEST(LvmVolumes, StripedAndLinearVolumesOverTwoPhysicalVolumes) {
  DiskNameTable names;
  DiskInfoStore info;
  auto a = PhysicalVolume(PvUuid('a'), VaultMetadata(), 512);
  auto b = PhysicalVolume(PvUuid('b'), VaultMetadata(), 512);
  MarkSectors(*a, 'a', 512);
  MarkSectors(*b, 'b', 512);
  names.Add({"a.img", {}, std::move(a), {}});
  names.Add({"b.img", {}, std::move(b), {}});
  EXPECT_TRUE(AddStackedDisks(names, info).empty());
  ASSERT_EQ(names.Count(), 5u);  // the hidden volume is not offered
  EXPECT_EQ(names.Entry(2)->path, "lvm:vault/both");
  DiskSource& both = *names.Source(2);
  EXPECT_EQ(*both.Size(), 4u * 8 * 512);
  // Stripes of four sectors, taking turns: pv0's first, pv1's first, pv0's second, ...
  EXPECT_EQ(Origin(both, 0), std::make_pair('a', 0u));
  EXPECT_EQ(Origin(both, 5), std::make_pair('b', 1u));
  EXPECT_EQ(Origin(both, 9), std::make_pair('a', 5u));
  EXPECT_EQ(Origin(both, 31), std::make_pair('b', 15u));
  DiskSource& first = *names.Source(3);
  EXPECT_EQ(Origin(first, 0), std::make_pair('a', 40u));             // extent 5 of pv0
  EXPECT_EQ(Origin(*names.Source(4), 9), std::make_pair('b', 81u));  // extent 10 of pv1, sector 1
  const StackDescription* striped = StackOf(names, 2);
  ASSERT_NE(striped, nullptr);
  EXPECT_EQ(striped->level, "striped");
  EXPECT_EQ(striped->chunkBytes, 2048u);
  EXPECT_EQ(striped->members, (std::vector<std::string>{"Disk0 (pv0)", "Disk1 (pv1)"}));
  EXPECT_EQ(names.Entry(2)->readsFrom, (std::vector<std::string>{"a.img", "b.img"}));
}

TEST(LvmVolumes, AMissingPhysicalVolumeLeavesTheVolumesWhollyOnThePresentOnes) {
  DiskNameTable names;
  DiskInfoStore info;
  names.Add({"b.img", {}, PhysicalVolume(PvUuid('b'), VaultMetadata(), 512), {}});
  const auto notes = AddStackedDisks(names, info);
  ASSERT_EQ(names.Count(), 2u);
  EXPECT_EQ(names.Entry(1)->path, "lvm:vault/second");
  EXPECT_EQ(StackOf(names, 1)->state, "complete; its volume group misses 1 physical volume(s)");
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0], "logical volume vault/both lies on a physical volume that is not there (pv0)");
}

TEST(LvmVolumes, TheNewestCopyWhoseChecksumHoldsIsRead) {
  std::vector<std::byte> area(kMetadataAreaBytes);
  const auto copy = [&](std::size_t at, int seqno) {
    std::string text = VaultMetadata();
    text.replace(text.find("seqno = 7"), 9, "seqno = " + std::to_string(seqno));
    Put(area, at, text);
    return text.size() + 1;
  };
  copy(512, 5);
  copy(4096, 6);
  const std::size_t size = copy(8192, 7);
  Put(area, 4, " LVM2 x[5A%r0N*>");
  WriteLittleEndian<std::uint32_t>(area, 20, 1);
  WriteLittleEndian<std::uint64_t>(area, 40, 8192);
  WriteLittleEndian<std::uint64_t>(area, 48, size);
  WriteLittleEndian<std::uint32_t>(area, 56, LvmChecksum(std::span(area).subspan(8192, size)));
  const auto seal = [&] { WriteLittleEndian<std::uint32_t>(area, 0, LvmChecksum(std::span(area).subspan(4, 508))); };
  seal();
  ASSERT_TRUE(ReadNewestMetadata(area));
  EXPECT_EQ(ReadNewestMetadata(area)->seqno, 7u);
  // The newest copy damaged: the highest earlier copy that reads.
  area[8192 + 20] = std::byte{'#'};
  EXPECT_EQ(ReadNewestMetadata(area)->seqno, 6u);
  // A header whose own checksum fails is not believed at all.
  area[30] = std::byte{1};
  EXPECT_FALSE(ReadNewestMetadata(area));
}

TEST(LvmVolumes, MetadataThatDoesNotHoldTogetherIsRefused) {
  EXPECT_TRUE(ReadVolumeGroup(VaultMetadata()));
  const auto with = [](std::string from, std::string to) {
    std::string text = VaultMetadata();
    text.replace(text.find(from), from.size(), to);
    return ReadVolumeGroup(text);
  };
  // A volume that names no such physical volume, runs past one, or leaves a gap is not read.
  const auto unknownPv = with("[\"pv0\", 5]", "[\"pv7\", 5]");
  ASSERT_TRUE(unknownPv);
  EXPECT_FALSE(unknownPv->logicalVolumes[1].unsupported.empty());
  EXPECT_FALSE(with("[\"pv1\", 9]", "[\"pv1\", 15]")->logicalVolumes[2].unsupported.empty());
  EXPECT_FALSE(with("start_extent = 0\nextent_count = 3", "start_extent = 1\nextent_count = 3")
                   ->logicalVolumes[1]
                   .unsupported.empty());
  EXPECT_EQ(
      with("type = \"striped\"\nstripe_count = 2", "type = \"thin\"\nstripe_count = 2")->logicalVolumes[0].unsupported,
      "segments of type thin");
  EXPECT_FALSE(with("extent_size = 8", "extent_size = 0"));
  EXPECT_FALSE(with("seqno = 7", "seqno = \"7"));  // a string that never ends
  EXPECT_FALSE(ReadVolumeGroup(std::string(100, '{')));
  EXPECT_FALSE(ReadVolumeGroup("a {" + std::string(5000, '[')));
}

TEST(LvmVolumes, LabelChecksumAndPlaceAreChecked) {
  auto disk = PhysicalVolume(PvUuid('c'), VaultMetadata(), 512);
  ASSERT_TRUE(FindLvmLabel(*disk));
  EXPECT_EQ(FindLvmLabel(*disk)->uuid, PvUuid('c'));
  EXPECT_FALSE(DecodeLvmLabel(disk->Sector(1), 2));  // says it is in sector 1
  disk->Sector(1)[40] = std::byte{'x'};
  EXPECT_FALSE(FindLvmLabel(*disk));
}

}  // namespace
}  // namespace vantrel::test
