// Arrays over members held in memory: every byte reads back as written, also with
// members missing or failing, as far as the level's redundancy reaches, and no further.

#include <gtest/gtest.h>

#include <random>

#include "stacks/MdArraySource.h"
#include "stacks/Parity.h"
#include "support/MemoryDiskSource.h"

namespace vantrel::test {
namespace {

constexpr std::uint64_t kDataStart = 3 * 512;  // members keep something ahead of their data

struct LaidOut {
  std::vector<std::byte> content;
  std::vector<std::shared_ptr<MemoryDiskSource>> members;
};

std::span<std::byte> MemberBytes(MemoryDiskSource& member, std::uint64_t sector, std::uint64_t count) {
  return {member.Sector(kDataStart / 512 + sector).data(), count * 512};
}

// Random array content written to members as the geometry places it, with the rows' parity.
LaidOut LayOut(const MdGeometry& g, unsigned seed) {
  LaidOut laid;
  std::mt19937 random(seed);
  laid.content.resize(ArraySectors(g) * 512);
  for (std::byte& b : laid.content) b = static_cast<std::byte>(random() & 0xff);
  for (std::uint32_t role = 0; role < g.raidDisks; ++role)
    laid.members.push_back(std::make_shared<MemoryDiskSource>(kDataStart / 512 + g.memberSectors));
  for (std::uint64_t sector = 0; sector < ArraySectors(g); ++sector)
    for (const MemberPlace& place : CopiesOf(g, sector))
      std::copy_n(laid.content.begin() + static_cast<std::ptrdiff_t>(sector * 512), 512,
                  MemberBytes(*laid.members[place.role], place.sector, 1).begin());
  if (g.level == 4 || g.level == 5 || g.level == 6) {
    for (std::uint64_t row = 0; row < g.memberSectors / g.chunkSectors; ++row) {
      const ParityRowRoles roles = RowRoles(g, row);
      const auto chunkOf = [&](std::uint32_t role) {
        return MemberBytes(*laid.members[role], row * g.chunkSectors, g.chunkSectors);
      };
      std::vector<std::span<const std::byte>> data;
      for (const std::uint32_t role : roles.syndromeOrder) data.push_back(chunkOf(role));
      ComputeParity(data, chunkOf(roles.p), roles.q ? chunkOf(*roles.q) : std::span<std::byte>{});
    }
  }
  return laid;
}

std::unique_ptr<MdArraySource> ArrayOf(const MdGeometry& g, const LaidOut& laid,
                                       const std::vector<std::uint32_t>& missing) {
  std::vector<std::optional<MdMemberData>> roles;
  for (std::uint32_t role = 0; role < g.raidDisks; ++role) {
    if (std::find(missing.begin(), missing.end(), role) != missing.end())
      roles.emplace_back();
    else
      roles.push_back(MdMemberData{laid.members[role], kDataStart});
  }
  return std::make_unique<MdArraySource>(g, std::move(roles), StackDescription{});
}

// Reads the whole array in odd-sized pieces that cross chunk boundaries.
std::vector<std::byte> ReadAll(MdArraySource& array, bool* allOk) {
  std::vector<std::byte> bytes(*array.Size());
  *allOk = true;
  const std::size_t piece = 3 * 512 + 100;
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    const std::size_t length = std::min(piece, bytes.size() - at);
    *allOk = array.Read(at, std::span(bytes).subspan(at, length)) == ReadOutcome::Ok && *allOk;
  }
  return bytes;
}

void ExpectReadsWhole(const MdGeometry& g, const std::vector<std::uint32_t>& missing, const std::string& what) {
  const LaidOut laid = LayOut(g, 7);
  auto array = ArrayOf(g, laid, missing);
  bool ok = false;
  EXPECT_EQ(ReadAll(*array, &ok), laid.content) << what;
  EXPECT_TRUE(ok) << what;
}

TEST(MdArraySource, Raid5EveryLayoutReadsThroughAnyOneMissingMember) {
  for (std::uint32_t layout = 0; layout <= 5; ++layout) {
    const MdGeometry g{5, layout, 4, 8, 8 * 9};
    for (std::uint32_t lost = 0; lost < 4; ++lost)
      ExpectReadsWhole(g, {lost}, "layout " + std::to_string(layout) + " without role " + std::to_string(lost));
    ExpectReadsWhole(g, {}, "layout " + std::to_string(layout));
  }
  ExpectReadsWhole({4, 0, 3, 8, 8 * 5}, {0}, "RAID4 without its first member");
}

TEST(MdArraySource, Raid6ReadsThroughAnyTwoMissingMembers) {
  for (const std::uint32_t layout : {0u, 1u, 2u, 3u, 4u, 5u, 16u, 18u, 20u}) {
    const MdGeometry g{6, layout, 5, 8, 8 * 10};
    for (std::uint32_t a = 0; a < 5; ++a)
      for (std::uint32_t b = a + 1; b < 5; ++b)
        ExpectReadsWhole(g, {a, b},
                         "layout " + std::to_string(layout) + " without " + std::to_string(a) + ", " +
                             std::to_string(b));
  }
}

TEST(MdArraySource, MirrorsReadTheCopyThatIsThere) {
  ExpectReadsWhole({1, 0, 2, 0, 40}, {0}, "RAID1 without its first member");
  ExpectReadsWhole({10, 0x102, 4, 8, 8 * 8}, {1, 2}, "RAID10 near=2 without one copy of each pair");
  ExpectReadsWhole({10, 0x201, 4, 8, 8 * 8}, {3}, "RAID10 far=2");
  ExpectReadsWhole({10, 0x10201, 3, 8, 8 * 8}, {0}, "RAID10 offset=2");
  ExpectReadsWhole({0, 0, 3, 8, 8 * 4}, {}, "RAID0");
}

TEST(MdArraySource, AFailingSectorIsReadThroughTheRedundancyAndFailsWithout) {
  const MdGeometry g{5, 2, 4, 8, 8 * 6};
  const LaidOut laid = LayOut(g, 9);
  laid.members[1]->FailSector(kDataStart / 512 + 2);  // on role 1, row 0: array sector 10
  auto array = ArrayOf(g, laid, {});
  std::vector<std::byte> sector(512);
  ASSERT_EQ(array->Read(10 * 512, sector), ReadOutcome::Ok);
  EXPECT_TRUE(std::equal(sector.begin(), sector.end(), laid.content.begin() + 10 * 512));

  // With another member missing too, the row cannot be rebuilt: the read says so.
  auto degraded = ArrayOf(g, laid, {3});
  EXPECT_EQ(degraded->Read(10 * 512, sector), ReadOutcome::Failed);
  EXPECT_EQ(degraded->Read(0, sector), ReadOutcome::Ok);  // role 0 of the same row is still there

  const MdGeometry stripes{0, 0, 3, 8, 8 * 4};
  const LaidOut striped = LayOut(stripes, 10);
  auto raid0 = ArrayOf(stripes, striped, {1});
  EXPECT_EQ(raid0->Read(8 * 512, sector), ReadOutcome::Failed);
}

TEST(MdArraySource, ReadsPastTheEndAreZeros) {
  const MdGeometry g{0, 0, 2, 8, 8 * 2};
  const LaidOut laid = LayOut(g, 11);
  auto array = ArrayOf(g, laid, {});
  ASSERT_EQ(*array->Size(), 32u * 512);
  std::vector<std::byte> tail(1024, std::byte{0x77});
  EXPECT_EQ(array->Read(31 * 512, tail), ReadOutcome::Ok);
  EXPECT_TRUE(std::equal(tail.begin(), tail.begin() + 512, laid.content.begin() + 31 * 512));
  EXPECT_TRUE(std::all_of(tail.begin() + 512, tail.end(), [](std::byte b) { return b == std::byte{0}; }));
}

}  // namespace
}  // namespace vantrel::test
