// Which sectors a carve copies, by the writing rules.

#include <gtest/gtest.h>

#include "carving/CarvePlan.h"

namespace vantrel::test {
namespace {

std::uint64_t PlannedSectors(const CarvePlan& plan) {
  std::uint64_t sectors = 0;
  for (const auto& run : plan.runs) sectors += run.count;
  return sectors;
}

TEST(CarvePlan, ShortSpansGiveTenKilobytesOfTheSectorsUpToTheEndSector) {
  EXPECT_EQ(PlanSpanCarve(100, 100, RawFileKind::Zip), (CarvePlan{{{100, 1}}, 10240}));
  EXPECT_EQ(PlanSpanCarve(100, 104, RawFileKind::Word), (CarvePlan{{{100, 5}}, 10240}));
  EXPECT_EQ(PlanSpanCarve(100, 119, RawFileKind::Zip), (CarvePlan{{{100, 20}}, 10240}));
  // A span of exactly 20 stays sectors S to S + 19.
  EXPECT_EQ(PlanSpanCarve(100, 120, RawFileKind::Zip), (CarvePlan{{{100, 20}}, 10240}));
}

TEST(CarvePlan, LongerSpansAddAChunkFromTheEndAsLongAsTheLastPartialOne) {
  // 21 sectors are written as 22, 40 as 60.
  EXPECT_EQ(PlanSpanCarve(100, 121, RawFileKind::Word), (CarvePlan{{{100, 21}, {121, 1}}, 22 * 512}));
  EXPECT_EQ(PlanSpanCarve(100, 140, RawFileKind::Zip), (CarvePlan{{{100, 40}, {140, 20}}, 60 * 512}));
  EXPECT_EQ(PlanSpanCarve(300, 337, RawFileKind::Zip), (CarvePlan{{{300, 37}, {337, 17}}, 54 * 512}));
}

TEST(CarvePlan, DocumentsStopAt10260SectorsAndArchivesDoNot) {
  const std::uint64_t sevenMegabytes = 7 * 1024 * 1024 / 512;
  for (const auto kind : {RawFileKind::Word, RawFileKind::Excel, RawFileKind::PowerPoint}) {
    const CarvePlan plan = PlanSpanCarve(1000, 1000 + sevenMegabytes, kind);
    EXPECT_EQ(plan.fileBytes, 5253120u);
    EXPECT_EQ(plan.runs, (std::vector<SectorRun>{{1000, 10260}}));
  }
  // A cap that falls inside the last chunk cuts it.
  EXPECT_EQ(PlanSpanCarve(0, 10255, RawFileKind::Word).runs, (std::vector<SectorRun>{{0, 10255}, {10255, 5}}));
  const CarvePlan zip = PlanSpanCarve(1000, 1000 + sevenMegabytes, RawFileKind::Zip);
  // 14,336 sectors end on a partial chunk of 16.
  EXPECT_EQ(PlannedSectors(zip), sevenMegabytes + 16);
  EXPECT_EQ(zip.fileBytes, (sevenMegabytes + 16) * 512);
}

}  // namespace
}  // namespace vantrel::test
