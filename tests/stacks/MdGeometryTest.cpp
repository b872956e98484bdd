// Where the md driver puts an array's chunks, checked against the layouts it documents.

#include <gtest/gtest.h>

#include "stacks/MdGeometry.h"

namespace vantrel::test {
namespace {

MdGeometry Parity(int level, std::uint32_t layout, std::uint32_t disks) { return {level, layout, disks, 8, 8 * 100}; }

// A row drawn as the driver's comments draw it: "D4 D5 P D3" lists each member's block,
// data chunks numbered across the array.
std::string Drawn(const MdGeometry& g, std::uint64_t row) {
  const ParityRowRoles roles = RowRoles(g, row);
  std::vector<std::string> cells(g.raidDisks, "?");
  cells[roles.p] = "P";
  if (roles.q) cells[*roles.q] = "Q";
  for (std::size_t d = 0; d < roles.dataRoles.size(); ++d)
    cells[roles.dataRoles[d]] = "D" + std::to_string(row * roles.dataRoles.size() + d);
  std::string text;
  for (const std::string& cell : cells) text += (text.empty() ? "" : " ") + cell;
  return text;
}

TEST(MdGeometry, Raid5LayoutsRotateParityAsTheDriverDoes) {
  const MdGeometry leftSymmetric = Parity(5, 2, 4);
  EXPECT_EQ(Drawn(leftSymmetric, 0), "D0 D1 D2 P");
  EXPECT_EQ(Drawn(leftSymmetric, 1), "D4 D5 P D3");
  EXPECT_EQ(Drawn(leftSymmetric, 2), "D8 P D6 D7");
  EXPECT_EQ(Drawn(leftSymmetric, 3), "P D9 D10 D11");
  EXPECT_EQ(Drawn(leftSymmetric, 4), "D12 D13 D14 P");
  EXPECT_EQ(Drawn(Parity(5, 0, 4), 1), "D3 D4 P D5");    // left-asymmetric
  EXPECT_EQ(Drawn(Parity(5, 3, 4), 1), "D5 P D3 D4");    // right-symmetric
  EXPECT_EQ(Drawn(Parity(5, 1, 4), 1), "D3 P D4 D5");    // right-asymmetric
  EXPECT_EQ(Drawn(Parity(5, 4, 4), 3), "P D9 D10 D11");  // parity first
  EXPECT_EQ(Drawn(Parity(4, 2, 4), 1), "D3 D4 D5 P");    // RAID4 keeps parity on the last member
  EXPECT_EQ(LayoutName(Parity(5, 2, 4)), "left-symmetric");
}

TEST(MdGeometry, Raid6PlacesQAfterPAndWeighsDataFromTheMemberAfterQ) {
  const MdGeometry leftSymmetric = Parity(6, 2, 5);
  EXPECT_EQ(Drawn(leftSymmetric, 0), "Q D0 D1 D2 P");
  EXPECT_EQ(Drawn(leftSymmetric, 1), "D3 D4 D5 P Q");
  EXPECT_EQ(Drawn(leftSymmetric, 2), "D7 D8 P Q D6");
  const MdGeometry leftAsymmetric = Parity(6, 0, 5);
  EXPECT_EQ(Drawn(leftAsymmetric, 0), "Q D0 D1 D2 P");
  EXPECT_EQ(Drawn(leftAsymmetric, 3), "D9 P Q D10 D11");
  // The syndrome starts at the member after Q: D10 (role 3), D11 (role 4), then D9 (role 0).
  EXPECT_EQ(RowRoles(leftAsymmetric, 3).syndromeOrder, (std::vector<std::uint32_t>{3, 4, 0}));
  // Converted from RAID5: a RAID5 left-symmetric rotation over four members, Q on the fifth.
  EXPECT_EQ(Drawn(Parity(6, 18, 5), 1), "D4 D5 P D3 Q");
}

std::vector<std::pair<std::uint32_t, std::uint64_t>> Places(const MdGeometry& g, std::uint64_t sector) {
  std::vector<std::pair<std::uint32_t, std::uint64_t>> places;
  for (const MemberPlace& place : CopiesOf(g, sector)) places.emplace_back(place.role, place.sector);
  return places;
}

TEST(MdGeometry, Raid10NearFarAndOffsetCopies) {
  // Four members of 64 chunks of 8 sectors.
  const MdGeometry near{10, 0x102, 4, 8, 512};
  EXPECT_EQ(ArraySectors(near), 2u * 512);
  EXPECT_EQ(Places(near, 8 * 1 + 3), (std::vector<std::pair<std::uint32_t, std::uint64_t>>{{2, 3}, {3, 3}}));
  EXPECT_EQ(Places(near, 8 * 2), (std::vector<std::pair<std::uint32_t, std::uint64_t>>{{0, 8}, {1, 8}}));
  const MdGeometry far{10, 0x201, 4, 8, 512};
  // The second copy sits half a member further on, one member along.
  EXPECT_EQ(Places(far, 8 * 5), (std::vector<std::pair<std::uint32_t, std::uint64_t>>{{1, 8}, {2, 8 + 256}}));
  EXPECT_EQ(Places(far, 8 * 3), (std::vector<std::pair<std::uint32_t, std::uint64_t>>{{3, 0}, {0, 256}}));
  const MdGeometry offset{10, 0x10201, 4, 8, 512};
  // The second copy is the next chunk down, one member along.
  EXPECT_EQ(Places(offset, 8 * 5), (std::vector<std::pair<std::uint32_t, std::uint64_t>>{{1, 16}, {2, 24}}));
  EXPECT_EQ(LayoutName(offset), "near=1, offset=2");
  // Three members, two near copies: copies run on across the row's end.
  const MdGeometry odd{10, 0x102, 3, 8, 512};
  EXPECT_EQ(Places(odd, 8 * 1), (std::vector<std::pair<std::uint32_t, std::uint64_t>>{{2, 0}, {0, 8}}));
}

TEST(MdGeometry, Raid0OfUnequalMembersStripesZonesAndLinearConcatenates) {
  // Members of 1, 3 and 5 chunks: a zone over all three, one over the last two, one over the last.
  MdGeometry zoned{0, 1, 3, 8, 0, {8, 24, 40}};
  EXPECT_EQ(ArraySectors(zoned), 72u);  // 3 x 8 + 2 x 16 + 16
  EXPECT_EQ(LayoutName(zoned), "original zones");
  // Chunk 3 (sector 24) opens the second zone: the original layout counts chunks from the array's start...
  EXPECT_EQ(Places(zoned, 25), (std::vector<std::pair<std::uint32_t, std::uint64_t>>{{2, 9}}));
  EXPECT_EQ(Places(zoned, 64), (std::vector<std::pair<std::uint32_t, std::uint64_t>>{{2, 32}}));
  // ... the alternate one from the zone's.
  zoned.layout = 2;
  EXPECT_EQ(Places(zoned, 25), (std::vector<std::pair<std::uint32_t, std::uint64_t>>{{1, 9}}));
  const MdGeometry linear{-1, 0, 2, 0, 0, {100, 50}};
  EXPECT_EQ(ArraySectors(linear), 150u);
  EXPECT_EQ(Places(linear, 120), (std::vector<std::pair<std::uint32_t, std::uint64_t>>{{1, 20}}));
  EXPECT_EQ(SectorsLeftInChunk(linear, 90), 10u);
}

TEST(MdGeometry, SizesAndRefusals) {
  EXPECT_EQ(ArraySectors({5, 2, 4, 256, 94208}), 282624u);  // the four-member NAS of the fixtures
  EXPECT_EQ(ArraySectors({0, 0, 3, 128, 40936}), 122496u);  // members cut to whole chunks
  EXPECT_EQ(ArraySectors({6, 2, 5, 8, 800}), 2400u);
  EXPECT_EQ(ArraySectors({1, 0, 2, 0, 81792}), 81792u);
  EXPECT_FALSE(GeometryProblem({5, 2, 4, 256, 94208}));
  EXPECT_TRUE(GeometryProblem({5, 2, 4, 100, 94208}));   // chunk not a power of two
  EXPECT_TRUE(GeometryProblem({5, 7, 4, 8, 800}));       // no such RAID5 layout
  EXPECT_TRUE(GeometryProblem({6, 2, 3, 8, 800}));       // RAID6 needs four members
  EXPECT_TRUE(GeometryProblem({10, 0x103, 2, 8, 800}));  // three copies over two members
  EXPECT_TRUE(GeometryProblem({0, 0, 100000, 8, 800}));
  EXPECT_EQ(RedundantMembers({6, 2, 5, 8, 800}), 2u);
}

}  // namespace
}  // namespace vantrel::test

namespace vantrel::test {
namespace {

TEST(MdGeometry, EveryArraySectorIsFoundAgainFromWhereItsDataLies) {
  const std::vector<MdGeometry> shapes = {{0, 0, 3, 8, 800},
                                          {1, 0, 2, 0, 800},
                                          {4, 0, 4, 8, 800},
                                          {5, 0, 4, 16, 800},
                                          {5, 1, 3, 8, 800},
                                          {5, 2, 5, 8, 800},
                                          {5, 3, 4, 8, 800},
                                          {6, 2, 5, 8, 800},
                                          {6, 0, 6, 8, 800},
                                          {6, 18, 5, 8, 800},
                                          {10, 0x102, 4, 8, 800},
                                          {10, 0x102, 3, 8, 800},
                                          {10, 0x201, 4, 8, 800},
                                          {10, 0x10201, 4, 8, 800},
                                          {10, 0x201, 3, 8, 800},
                                          {0, 1, 3, 8, 0, {8, 24, 40}},
                                          {0, 2, 3, 8, 0, {8, 24, 40}},
                                          {-1, 0, 3, 0, 0, {100, 50, 7}}};
  for (const MdGeometry& g : shapes) {
    for (std::uint64_t sector = 0; sector < ArraySectors(g); sector += 3) {
      const MemberPlace place = CopiesOf(g, sector).front();
      EXPECT_EQ(ArraySectorAt(g, place.role, place.sector), sector)
          << "level " << g.level << " layout " << g.layout << " over " << g.raidDisks << ", sector " << sector;
    }
  }
  // Parity, and places beyond the members, hold no array sector.
  const MdGeometry raid5{5, 2, 4, 8, 800};
  EXPECT_EQ(ArraySectorAt(raid5, RowRoles(raid5, 3).p, 3 * 8 + 1), std::nullopt);
  EXPECT_EQ(ArraySectorAt(raid5, 0, 800), std::nullopt);
  EXPECT_EQ(ArraySectorAt(raid5, 4, 0), std::nullopt);
}

}  // namespace
}  // namespace vantrel::test
