// The sweep of the live tree and the items it gathers: on every kernel-made image it must
// hand over exactly what the searches from the root find, and on a damaged tree it must
// say so, so that the quick build searches instead.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "reiserfs/build/CatalogueBuild.h"
#include "reiserfs/format/PartitionBlocks.h"
#include "reiserfs/build/SweptItems.h"
#include "reiserfs/format/TreeNode.h"
#include "reiserfs/build/TreeSearch.h"
#include "reiserfs/build/TreeSweep.h"
#include "support/CraftedPartition.h"
#include "support/Fixtures.h"
#include "support/TestWizard.h"

namespace vantrel::test {
namespace {

// Everything a search hands over, as text, in order.
class Recorder : public ItemConsumer {
 public:
  void OnStatData(std::uint32_t objectId, std::uint32_t dirId, const StatData& data) override {
    seen.push_back("stat " + std::to_string(dirId) + "/" + std::to_string(objectId) + " " + std::to_string(data.mode) +
                   " " + std::to_string(data.size) + " " + std::to_string(data.modificationTime));
  }
  void OnDirEntry(std::uint32_t objectId, std::uint32_t dirId, std::string_view name) override {
    seen.push_back("entry " + std::to_string(dirId) + "/" + std::to_string(objectId) + " " + std::string(name));
  }
  std::vector<std::string> seen;
};

struct Swept {
  SweepEnd end;
  SweptItems items;
  std::vector<std::uint32_t> leafLevels;
};

Swept SweepPartition(PartitionBlocks& blocks, std::uint32_t root, const StopToken& stop = StopToken()) {
  Swept swept{SweepEnd::Unsound, {}, {}};
  swept.end = SweepTree(blocks, root, stop, [&](ByteSpan leaf) {
    swept.items.AddLeaf(leaf);
    swept.leafLevels.push_back(ReadNodeHeader(leaf).level);
  });
  return swept;
}

struct FixturePartition {
  const char* image;
  int linuxIndex;
};

class SweepOnFixtures : public ::testing::TestWithParam<FixturePartition> {};

TEST_P(SweepOnFixtures, GivesWhatTheSearchesFromTheRootGiveForEveryObject) {
  TestWizard wizard;
  // The advanced build names every object id pair the disk still holds, live or not.
  const nlohmann::json partition = wizard.BuildFixtureCatalogue(GetParam().image, GetParam().linuxIndex, true);
  const Catalogue& catalogue = wizard.state.catalogue;
  PartitionBlocks blocks(wizard.Disk(), partition["start_sector"].get<std::uint64_t>(), catalogue.currentSuperblock);
  const std::uint32_t root = catalogue.currentSuperblock.rootBlock;

  const Swept swept = SweepPartition(blocks, root);
  ASSERT_EQ(swept.end, SweepEnd::Sound);
  ASSERT_TRUE(swept.items.Complete());
  ASSERT_FALSE(swept.leafLevels.empty());

  TreeSearch search(blocks, root);
  std::size_t delivered = 0;
  for (const ObjectRecord& record : catalogue.objectList.Records()) {
    for (const TreeKey key : {TreeKey{record.dirId, record.objectId, 0, 0, kStatDataType},
                              TreeKey{record.dirId, record.objectId, 1, 0, kDirectoryType}}) {
      Recorder searched;
      Recorder fromSweep;
      search.SearchTree(key, searched);
      swept.items.Deliver(key, fromSweep);
      ASSERT_EQ(fromSweep.seen, searched.seen) << record.dirId << "/" << record.objectId << " type " << key.type;
      delivered += searched.seen.size();
    }
  }
  EXPECT_GT(delivered, 0u);
}

INSTANTIATE_TEST_SUITE_P(KernelMadeImages, SweepOnFixtures,
                         ::testing::Values(FixturePartition{"bare-36", 0}, FixturePartition{"deleted", 1},
                                           FixturePartition{"mbr-mixed", 1}, FixturePartition{"mbr-mixed", 5},
                                           FixturePartition{"reformatted", 1}, FixturePartition{"tree-heights", 1},
                                           FixturePartition{"tree-heights", 2}));

// A crafted tree of two leaves under one internal node, placed so that block order and
// key order differ.
constexpr std::uint32_t kLeafA = 30;
constexpr std::uint32_t kLeafB = 20;
constexpr std::uint32_t kInternal = 40;

CraftedItem Stat(std::uint32_t dirId, std::uint32_t objectId, std::uint32_t mtime) {
  return {{dirId, objectId, 0, 0, kStatDataType}, kKeyVersion36, CraftedPartition::StatData36(kFileMode, 7, mtime)};
}

CraftedItem Dir(std::uint32_t dirId, std::uint32_t objectId, std::uint32_t hash,
                const std::vector<CraftedEntry>& entries) {
  auto body = CraftedPartition::Directory(dirId, objectId, 0, entries);
  return {{dirId, objectId, hash, 0, kDirectoryType}, kKeyVersion35, body};
}

CraftedItem Direct(std::uint32_t dirId, std::uint32_t objectId) {
  return {{dirId, objectId, 1, 0, kDirectType}, kKeyVersion36, std::vector<std::byte>(10, std::byte{'x'})};
}

class CraftedSweep : public ::testing::Test {
 protected:
  CraftedSweep() : partition_(wizard_) {}

  void WriteTree(const std::vector<CraftedItem>& a, const std::vector<CraftedItem>& b) {
    partition_.WriteLeaf(kLeafA, a);
    partition_.WriteLeaf(kLeafB, b);
    partition_.WriteInternal(kInternal, 2, {{2, 20, 0, 0, kStatDataType}}, {kLeafA, kLeafB});
    partition_.WriteSuperblock(kInternal);
  }

  void WriteHealthyTree() {
    WriteTree({Stat(1, 2, 100), Dir(1, 2, 1, {{2, 10, "ten"}, {2, 20, "twenty"}}), Stat(2, 10, 110)},
              {Stat(2, 20, 120), Direct(2, 20)});
  }

  Swept Run(const StopToken& stop = StopToken()) {
    blocks_.emplace(wizard_.Disk(), 0, ReadPartitionSuperblock(wizard_.Disk(), 0));
    return SweepPartition(*blocks_, kInternal, stop);
  }

  std::vector<std::string> Delivered(const SweptItems& items, const TreeKey& key) {
    Recorder recorder;
    items.Deliver(key, recorder);
    return recorder.seen;
  }

  TestWizard wizard_;
  CraftedPartition partition_;
  std::optional<PartitionBlocks> blocks_;
};

TEST_F(CraftedSweep, ReadsLeavesInBlockOrderAndHandsThemOverInKeyOrder) {
  WriteHealthyTree();
  const Swept swept = Run();
  ASSERT_EQ(swept.end, SweepEnd::Sound);
  EXPECT_TRUE(swept.items.Complete());
  // Leaf B (block 20) lies before leaf A (block 30), but A's keys come first.
  EXPECT_EQ(Delivered(swept.items, {1, 2, 1, 0, kDirectoryType}),
            (std::vector<std::string>{"entry 2/10 ten", "entry 2/20 twenty"}));
  EXPECT_EQ(Delivered(swept.items, {2, 20, 0, 0, kStatDataType}),
            (std::vector<std::string>{"stat 2/20 " + std::to_string(kFileMode) + " 7 120"}));
  EXPECT_TRUE(Delivered(swept.items, {2, 99, 0, 0, kStatDataType}).empty());
  EXPECT_TRUE(Delivered(swept.items, {2, 20, 1, 0, kDirectType}).empty());  // bodies are not gathered
}

TEST_F(CraftedSweep, EveryKindOfDamageEndsTheSweepAsUnsoundWithoutAPrompt) {
  const std::vector<std::pair<const char*, std::function<void()>>> damages = {
      {"keys out of order",
       [&] {
         WriteTree({Stat(1, 2, 1), Stat(1, 1, 1)}, {Stat(2, 20, 1)});
       }},
      {"key outside its parent's bounds",
       [&] {
         WriteTree({Stat(1, 2, 1), Stat(2, 30, 1)}, {Stat(2, 31, 1)});
       }},
      {"a leaf below its bound",
       [&] {
         WriteTree({Stat(1, 2, 1)}, {Stat(2, 20, 1)});
         partition_.WriteInternal(kInternal, 2, {{2, 20, 0, 0, kStatDataType}}, {kLeafA, kLeafA});
       }},
      {"a child on the wrong level",
       [&] {
         WriteHealthyTree();
         partition_.WriteInternal(kInternal, 3, {{2, 20, 0, 0, kStatDataType}}, {kLeafA, kLeafB});
       }},
      {"an empty leaf", [&] { WriteTree({Stat(1, 2, 1)}, {}); }},
      {"an item body past the block",
       [&] {
         WriteHealthyTree();
         WriteLittleEndian<std::uint16_t>(partition_.Block(kLeafB), CraftedPartition::ItemHeaderOffset(1) + 18, 9000);
       }},
      {"a child pointer past the block count",
       [&] {
         WriteHealthyTree();
         partition_.WriteInternal(kInternal, 2, {{2, 20, 0, 0, kStatDataType}}, {kLeafA, 5000});
       }},
      {"an unreadable leaf",
       [&] {
         WriteHealthyTree();
         partition_.Disk().FailSector(std::uint64_t{kLeafB} * 8 + 3);
       }},
  };
  for (const auto& [what, damage] : damages) {
    WriteHealthyTree();
    damage();
    EXPECT_EQ(Run().end, SweepEnd::Unsound) << what;
  }
  EXPECT_EQ(wizard_.window.BadSectorPrompts(), 0);
}

TEST_F(CraftedSweep, ItemsThatASearchCouldStopShortOfMakeTheItemsIncomplete) {
  // The root's directory items are split by another item of the same object that sorts
  // between them: a search that found the first could stop before the second, so the
  // searches must be made.
  const CraftedItem between{{1, 2, 5, 500, kDirectType}, kKeyVersion36, std::vector<std::byte>(4, std::byte{'x'})};
  WriteTree({Stat(1, 2, 1), Dir(1, 2, 1, {{2, 10, "ten"}})},
            {between, Dir(1, 2, 900, {{2, 20, "twenty"}}), Stat(2, 20, 1)});
  partition_.WriteInternal(kInternal, 2, {between.key}, {kLeafA, kLeafB});
  const Swept swept = Run();
  EXPECT_EQ(swept.end, SweepEnd::Sound);
  EXPECT_FALSE(swept.items.Complete());
}

TEST_F(CraftedSweep, AStopEndsTheSweep) {
  WriteHealthyTree();
  std::atomic<int> flag{1};
  EXPECT_EQ(Run(StopToken(flag)).end, SweepEnd::Stopped);
}

}  // namespace
}  // namespace vantrel::test
