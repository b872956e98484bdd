// Arrays of a DDF container, with members built here from the format's definition (the
// anchor, the primary header and its sections, big-endian and CRC-checked): listed and read
// like md's, in any order of the disks and with a member gone where redundancy allows.

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "stacks/DdfMembership.h"
#include "stacks/MdGeometry.h"
#include "stacks/Parity.h"
#include "stacks/StackAssembly.h"
#include "support/MemoryDiskSource.h"
#include "support/TempDir.h"

namespace vantrel::test {
namespace {

using Bytes = std::vector<std::byte>;
constexpr std::uint64_t kMemberSectors = 8192;  // 4 MiB
constexpr std::uint64_t kMaxElements = 4;
constexpr std::uint64_t kRecordSectors = 2;  // 512 bytes and 12 a member slot
// The sections after the primary header, in sectors from it (the lengths mdadm allows).
constexpr std::uint64_t kController = 1, kDisks = 2, kVirtualDisks = 4, kRecords = 6, kDiskData = 12;
constexpr std::uint64_t kPrimary = kMemberSectors - 1 - (kDiskData + 1);

void PutBe(Bytes& bytes, std::size_t at, std::uint64_t value, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) bytes[at + i] = static_cast<std::byte>(value >> (8 * (width - 1 - i)));
}
void Sign(Bytes& bytes, std::size_t at, std::size_t length, std::uint32_t signature) {
  PutBe(bytes, at, signature, 4);
  PutBe(bytes, at + 4, DdfCrc(std::span(bytes).subspan(at, length)), 4);
}
void Guid(Bytes& bytes, std::size_t at, char tag) {
  for (std::size_t i = 0; i < 24; ++i) bytes[at + i] = static_cast<std::byte>(tag + i);
}

// A virtual disk's record: its members (PD references), where their data starts, its levels.
struct VirtualDisk {
  char guid;
  std::string name;
  std::uint8_t level, qualifier, secondaryCount, secondarySeq;
  std::vector<std::uint32_t> members;
  std::uint64_t start, blocks, size;  // in sectors: where each member's data starts, its length, the array's
};

// The metadata of member `reference` of a container holding `disks`, before its last sector (the anchor).
void WriteDdf(Bytes& member, std::uint32_t reference, const std::vector<VirtualDisk>& disks) {
  const auto sectorAt = [&](std::uint64_t relative) { return (kPrimary + relative) * 512; };
  const auto header = [&](std::uint64_t at, std::uint8_t type) {
    std::copy_n("01.02.00", 8, reinterpret_cast<char*>(member.data()) + at + 32);
    PutBe(member, at + 40, 7, 4);  // sequence
    Guid(member, at + 8, 'C');
    PutBe(member, at + 96, kPrimary, 8);
    PutBe(member, at + 104, ~std::uint64_t{0}, 8);
    member[at + 112] = std::byte{type};
    PutBe(member, at + 128, 4, 2);
    PutBe(member, at + 130, 4, 2);
    PutBe(member, at + 134, kRecordSectors, 2);
    PutBe(member, at + 136, kMaxElements, 2);
    for (const auto [field, offset, length] : {std::array<std::uint64_t, 3>{192, kController, 1},
                                               {200, kDisks, 2},
                                               {208, kVirtualDisks, 2},
                                               {216, kRecords, 3 * kRecordSectors},
                                               {224, kDiskData, 1}}) {
      PutBe(member, at + field, offset, 4);
      PutBe(member, at + field + 4, length, 4);
    }
    Sign(member, at, 512, 0xde11de11);
  };
  header((kMemberSectors - 1) * 512, 0);
  header(sectorAt(0), 1);
  Guid(member, sectorAt(kController) + 8, 'K');
  Sign(member, sectorAt(kController), 512, 0xad111111);
  const std::size_t pdRecords = sectorAt(kDisks);
  PutBe(member, pdRecords + 8, 4, 2);
  PutBe(member, pdRecords + 10, 4, 2);
  for (std::size_t d = 0; d < 4; ++d) {
    const std::size_t entry = pdRecords + 64 + d * 64;
    Guid(member, entry, static_cast<char>('P' + d));
    PutBe(member, entry + 24, 0x100 + d, 4);
    PutBe(member, entry + 28, 0x02, 2);  // participating
    PutBe(member, entry + 30, 0x01, 2);  // online
    PutBe(member, entry + 32, kPrimary, 8);
  }
  Sign(member, pdRecords, std::size_t{2} * 512, 0x22222222);
  const std::size_t vdRecords = sectorAt(kVirtualDisks);
  std::size_t listed = 0;
  for (std::size_t i = 0; i < disks.size(); ++i) {
    if (i > 0 && disks[i].guid == disks[i - 1].guid) continue;  // a virtual disk of several records
    const std::size_t entry = vdRecords + 64 + listed++ * 64;
    Guid(member, entry, disks[i].guid);
    PutBe(member, entry + 24, listed, 2);
    std::copy(disks[i].name.begin(), disks[i].name.end(), reinterpret_cast<char*>(member.data()) + entry + 48);
  }
  PutBe(member, vdRecords + 8, listed, 2);
  PutBe(member, vdRecords + 10, 4, 2);
  Sign(member, vdRecords, std::size_t{2} * 512, 0xdddddddd);
  for (std::size_t r = 0; r < disks.size(); ++r) {
    const std::size_t at = sectorAt(kRecords + r * kRecordSectors);
    const VirtualDisk& vd = disks[r];
    Guid(member, at + 8, vd.guid);
    PutBe(member, at + 36, 7, 4);  // sequence
    PutBe(member, at + 64, vd.members.size(), 2);
    member[at + 66] = std::byte{4};  // strips of 16 sectors
    member[at + 67] = std::byte{vd.level};
    member[at + 68] = std::byte{vd.qualifier};
    member[at + 69] = std::byte{vd.secondaryCount};
    member[at + 70] = std::byte{vd.secondarySeq};
    PutBe(member, at + 72, vd.blocks, 8);
    PutBe(member, at + 80, vd.size, 8);
    for (std::size_t i = 0; i < kMaxElements; ++i) {
      PutBe(member, at + 512 + i * 4, i < vd.members.size() ? vd.members[i] : 0xffffffff, 4);
      PutBe(member, at + 512 + kMaxElements * 4 + i * 8, i < vd.members.size() ? vd.start : 0, 8);
    }
    Sign(member, at, kRecordSectors * 512, 0xeeeeeeee);
  }
  const std::size_t diskData = sectorAt(kDiskData);
  Guid(member, diskData + 8, static_cast<char>('P' + (reference - 0x100)));
  PutBe(member, diskData + 32, reference, 4);
  Sign(member, diskData, 512, 0x33333333);
}

// Random content laid on the members as md lays out `g`, from `start` on each.
Bytes LayOut(const MdGeometry& g, std::vector<Bytes>& members, const std::vector<std::size_t>& disks,
             std::uint64_t start, unsigned seed) {
  std::mt19937 random(seed);
  Bytes content(ArraySectors(g) * 512);
  for (std::byte& b : content) b = static_cast<std::byte>(random() & 0xff);
  const auto at = [&](std::uint32_t role, std::uint64_t sector) {
    return members[disks[role]].begin() + static_cast<std::ptrdiff_t>((start + sector) * 512);
  };
  for (std::uint64_t sector = 0; sector < ArraySectors(g); ++sector)
    for (const MemberPlace& place : CopiesOf(g, sector))
      std::copy_n(content.begin() + static_cast<std::ptrdiff_t>(sector * 512), 512, at(place.role, place.sector));
  if (g.level == 5)
    for (std::uint64_t row = 0; row < g.memberSectors / g.chunkSectors; ++row) {
      const ParityRowRoles roles = RowRoles(g, row);
      const auto chunk = [&](std::uint32_t role) {
        return std::span(&*at(role, row * g.chunkSectors), g.chunkSectors * 512);
      };
      std::vector<std::span<const std::byte>> data;
      for (const std::uint32_t role : roles.syndromeOrder) data.push_back(chunk(role));
      ComputeParity(data, chunk(roles.p), {});
    }
  return content;
}

Bytes ReadAll(DiskSource& disk) {
  Bytes bytes(static_cast<std::size_t>(disk.Size().value_or(0)));
  EXPECT_EQ(disk.Read(0, bytes), ReadOutcome::Ok);
  return bytes;
}

TEST(DdfArrays, ARaid5AndARaid10OfOneContainerReadAsLaidOutInAnyOrderAndDegraded) {
  // References 0x100 + disk; RAID5 (parity N, continuing: md's left-symmetric) over disks 0-2
  // from sector 0, RAID10 as two striped mirrors, disks 0+1 and 2+3, from sector 4096.
  const std::vector<VirtualDisk> disks = {{'A', "parity", 0x05, 0x03, 1, 0, {0x100, 0x101, 0x102}, 0, 2048, 4096},
                                          {'B', "mirrors", 0x01, 0x00, 2, 0, {0x100, 0x101}, 4096, 1024, 2048},
                                          {'B', "mirrors", 0x01, 0x00, 2, 1, {0x102, 0x103}, 4096, 1024, 2048}};
  std::vector<Bytes> members(4, Bytes(kMemberSectors * 512));
  const Bytes raid5 = LayOut({5, 2, 3, 16, 2048}, members, {0, 1, 2}, 0, 1);
  const Bytes raid10 = LayOut({10, 0x102, 4, 16, 1024}, members, {0, 1, 2, 3}, 4096, 2);
  for (std::uint32_t d = 0; d < 4; ++d) WriteDdf(members[d], 0x100 + d, disks);
  const TempDir folder;
  std::vector<std::string> paths;
  for (std::size_t d = 0; d < 4; ++d) {
    paths.push_back((folder / ("m" + std::to_string(d))).string());
    std::ofstream(paths.back(), std::ios::binary)
        .write(reinterpret_cast<const char*>(members[d].data()), static_cast<std::streamsize>(members[d].size()));
  }
  for (const auto& given : std::vector<std::vector<std::string>>{{paths[3], paths[1], paths[0], paths[2]},
                                                                 {paths[2], paths[0], paths[3]}}) {
    DiskNameTable names;
    DiskInfoStore info;
    std::vector<NamedDisk> named;
    for (const std::string& path : given) named.push_back({path, {}});
    const OpenedDisks opened = OpenDisksAndStacks(names, info, named);
    EXPECT_TRUE(opened.stackNotes.empty()) << opened.stackNotes.front();
    ASSERT_EQ(names.Count(), given.size() + 2);
    for (std::size_t n = given.size(); n < names.Count(); ++n) {
      const StackDescription* stack = StackOf(names, n);
      ASSERT_NE(stack, nullptr);
      EXPECT_TRUE(ReadAll(*names.Source(n)) == (stack->name == "parity" ? raid5 : raid10)) << stack->name;
      EXPECT_EQ(stack->level, stack->name == "parity" ? "raid5" : "raid10");
      if (stack->name == "parity") {
        EXPECT_EQ(stack->layout, "left-symmetric");
      }
      EXPECT_EQ(stack->state == "clean", given.size() == 4) << stack->state;
    }
  }
}

TEST(DdfArrays, MetadataThatDoesNotHoldTogetherGivesNoArray) {
  const std::vector<VirtualDisk> disks = {{'A', "plain", 0x00, 0x00, 1, 0, {0x100, 0x101}, 0, 2048, 4096}};
  Bytes member(kMemberSectors * 512);
  WriteDdf(member, 0x101, disks);
  PutBe(member, (kPrimary + kRecords) * 512 + 88, 0xffff, 2);  // a block size left reserved: 512 bytes
  Sign(member, (kPrimary + kRecords) * 512, kRecordSectors * 512, 0xeeeeeeee);
  const auto decode = [](const Bytes& bytes) {
    auto disk = std::make_shared<MemoryDiskSource>(kMemberSectors);
    std::copy(bytes.begin(), bytes.end(), disk->Sector(0).data());
    return FindDdfMemberships(*disk);
  };
  const auto found = decode(member);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].role, 1u);
  EXPECT_EQ(found[0].geometry.level, 0);
  EXPECT_EQ(found[0].geometry.chunkSectors, 16u);
  EXPECT_EQ(found[0].name, "plain");
  EXPECT_EQ(found[0].unsupported, "");
  Bytes torn = member;
  torn[(kPrimary + kRecords) * 512 + 100] = std::byte{1};  // the configuration record's CRC fails
  EXPECT_TRUE(decode(torn).empty());
  Bytes beyond = member;  // data that would run into the metadata
  PutBe(beyond, (kPrimary + kRecords) * 512 + 72, kMemberSectors, 8);
  Sign(beyond, (kPrimary + kRecords) * 512, kRecordSectors * 512, 0xeeeeeeee);
  EXPECT_TRUE(decode(beyond).empty());
  Bytes stranger = member;  // a disk the record does not name
  PutBe(stranger, (kPrimary + kDiskData) * 512 + 32, 0x999, 4);
  Sign(stranger, (kPrimary + kDiskData) * 512, 512, 0x33333333);
  EXPECT_TRUE(decode(stranger).empty());
}

}  // namespace
}  // namespace vantrel::test
