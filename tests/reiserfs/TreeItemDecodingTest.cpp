// Keys of both layouts, key order, and what DispatchItem makes of stat data, directory,
// indirect and direct items, damaged ones included.

#include <gtest/gtest.h>

#include <array>

#include "base/LittleEndian.h"
#include "reiserfs/format/ItemDispatch.h"
#include "support/CraftedPartition.h"

namespace vantrel::test {
namespace {

std::array<std::byte, 16> KeyBytes(const TreeKey& key, std::uint16_t version) {
  std::array<std::byte, 16> bytes{};
  CraftedPartition::EncodeKey(bytes, key, version);
  return bytes;
}

struct Recorder : ItemConsumer {
  struct Entry {
    std::uint32_t objectId, dirId;
    std::string name;
    bool operator==(const Entry&) const = default;
  };
  void OnStatData(std::uint32_t objectId, std::uint32_t dirId, const StatData& data) override {
    statData.push_back({objectId, dirId, data});
  }
  void OnDirEntry(std::uint32_t objectId, std::uint32_t dirId, std::string_view name) override {
    entries.push_back({objectId, dirId, std::string(name)});
  }
  void OnIndirect(const TreeKey&, ByteSpan) override { ++indirect; }
  void OnDirect(const TreeKey&, ByteSpan) override { ++direct; }

  struct Stat {
    std::uint32_t objectId, dirId;
    StatData data;
  };
  std::vector<Stat> statData;
  std::vector<Entry> entries;
  int indirect = 0;
  int direct = 0;
};

TEST(TreeKeys, The35LayoutMapsIndirectAndDirectUniquenessToTheirTypes) {
  EXPECT_EQ(DecodeKey35(KeyBytes({5, 7, 1, 0, 0xFFFFFFFE}, kKeyVersion35)).type, kIndirectType);
  EXPECT_EQ(DecodeKey35(KeyBytes({5, 7, 4097, 0, 0xFFFFFFFF}, kKeyVersion35)).type, kDirectType);
  const TreeKey directory = DecodeKey35(KeyBytes({5, 7, 0x12345, 0, 500}, kKeyVersion35));
  EXPECT_EQ(directory, (TreeKey{5, 7, 0x12345, 0, kDirectoryType}));
}

TEST(TreeKeys, The36LayoutSplitsTheLastWordIntoOffsetBitsAndType) {
  const TreeKey key = DecodeKey36(KeyBytes({5, 7, 0x1000, 0x0ABCDEF, kDirectType}, kKeyVersion36));
  EXPECT_EQ(key, (TreeKey{5, 7, 0x1000, 0x0ABCDEF, kDirectType}));
  EXPECT_FALSE(DecodeItemKey(KeyBytes({5, 7, 0, 0, 0}, 2), 2).has_value());
}

TEST(TreeKeys, FullOrderComparesTheOffsetAsOneNumberBeforeTheType) {
  EXPECT_EQ(CompareKeys({1, 2, 0xFFFFFFFF, 0, 9}, {1, 2, 0, 1, 0}), -1);  // high offset bits decide
  EXPECT_EQ(CompareKeys({1, 2, 5, 0, 2}, {1, 2, 5, 0, 1}), 1);
  EXPECT_EQ(CompareKeys({1, 3, 0, 0, 0}, {2, 1, 0, 0, 0}), -1);
  EXPECT_EQ(CompareKeys({1, 2, 5, 0, 1}, {1, 2, 5, 0, 1}), 0);
  // The short order ignores the offset, so every item of one kind of an object matches.
  EXPECT_EQ(CompareKeysShort({1, 2, 1, 0, kIndirectType}, {1, 2, 8193, 0, kIndirectType}), 0);
  EXPECT_EQ(CompareKeysShort({1, 2, 0, 0, kDirectType}, {1, 2, 0, 0, kIndirectType}), 1);
}

TEST(DispatchItem, StatDataOfBothLayoutsGivesModeSizeAndTime) {
  Recorder recorder;
  DispatchItem({2, 10, 0, 0, kStatDataType}, CraftedPartition::StatData36(040755, 0x100000005ull, 1136451903),
               recorder, false);
  DispatchItem({2, 11, 0, 0, kStatDataType}, CraftedPartition::StatData35(0100644, 20000, 946684800), recorder,
               false);
  ASSERT_EQ(recorder.statData.size(), 2u);
  EXPECT_EQ(recorder.statData[0].objectId, 10u);
  EXPECT_EQ(recorder.statData[0].dirId, 2u);
  EXPECT_EQ(recorder.statData[0].data.mode, 040755u);
  EXPECT_EQ(recorder.statData[0].data.size, 0x100000005ull);
  EXPECT_EQ(recorder.statData[0].data.modificationTime, 1136451903u);
  EXPECT_EQ(recorder.statData[1].data.size, 20000u);
  EXPECT_EQ(recorder.statData[1].data.modificationTime, 946684800u);
}

TEST(DispatchItem, OnlyStatDataItemsAreTakenForStatDataWhateverTheirLength) {
  Recorder recorder;
  const std::vector<std::byte> bytes44(44, std::byte{0x41});
  const std::vector<std::byte> bytes32(32, std::byte{0x41});
  DispatchItem({2, 10, 1, 0, kDirectType}, bytes44, recorder, false);
  DispatchItem({2, 10, 1, 0, kDirectType}, bytes32, recorder, true);
  DispatchItem({2, 10, 1, 0, kDirectoryType}, bytes32, recorder, false);
  DispatchItem({2, 10, 0, 0, kStatDataType}, std::vector<std::byte>(40), recorder, false);
  EXPECT_TRUE(recorder.statData.empty());
  EXPECT_EQ(recorder.direct, 1);  // only when direct items are asked for
}

TEST(DispatchItem, IndirectItemsOfThe35LayoutReachTheBodyConsumer) {
  Recorder recorder;
  const auto key = DecodeKey35(KeyBytes({5, 7, 1, 0, 0xFFFFFFFE}, kKeyVersion35));
  DispatchItem(key, std::vector<std::byte>(12), recorder, false);
  EXPECT_EQ(recorder.indirect, 1);
}

TEST(DirectoryEntries, DotEntriesAreDroppedAndPaddingIsCut) {
  Recorder recorder;
  const auto body = CraftedPartition::Directory(2, 10, 1, {{10, 11, "a"}, {10, 12, "longer name"}});
  DispatchItem({2, 10, 1, 0, kDirectoryType}, body, recorder, false);
  const std::vector<Recorder::Entry> expected{{11, 10, "a"}, {12, 10, "longer name"}};
  EXPECT_EQ(recorder.entries, expected);
}

TEST(DirectoryEntries, DamagedNameSpansEndTheItemKeepingTheEntriesBefore) {
  // The name of "b" would start past the end of the names read so far (a negative span).
  auto body = CraftedPartition::Directory(2, 10, 1, {{10, 11, "a"}, {10, 12, "b"}, {10, 13, "c"}});
  WriteLittleEndian<std::uint16_t>(body, 16 * 3 + 12, static_cast<std::uint16_t>(body.size() + 40));
  Recorder recorder;
  DispatchItem({2, 10, 1, 0, kDirectoryType}, body, recorder, false);
  EXPECT_EQ(recorder.entries, (std::vector<Recorder::Entry>{{11, 10, "a"}}));

  // A name location inside the entry headers.
  body = CraftedPartition::Directory(2, 10, 1, {{10, 11, "a"}});
  WriteLittleEndian<std::uint16_t>(body, 16 * 2 + 12, 4);
  recorder.entries.clear();
  DispatchItem({2, 10, 1, 0, kDirectoryType}, body, recorder, false);
  EXPECT_TRUE(recorder.entries.empty());

  // A name span of 600 bytes.
  std::vector<std::byte> big(16 + 600, std::byte{'x'});
  WriteLittleEndian<std::uint32_t>(big, 4, 10);
  WriteLittleEndian<std::uint32_t>(big, 8, 11);
  WriteLittleEndian<std::uint16_t>(big, 12, 16);
  DispatchItem({2, 10, 1, 0, kDirectoryType}, big, recorder, false);
  EXPECT_TRUE(recorder.entries.empty());

  // A body too short for even one header.
  DispatchItem({2, 10, 1, 0, kDirectoryType}, std::vector<std::byte>(10), recorder, false);
  EXPECT_TRUE(recorder.entries.empty());
}

TEST(DirectoryEntries, ANameOf511BytesIsDelivered) {
  std::vector<std::byte> body(16 + 511, std::byte{'n'});
  WriteLittleEndian<std::uint32_t>(body, 4, 10);
  WriteLittleEndian<std::uint32_t>(body, 8, 11);
  WriteLittleEndian<std::uint16_t>(body, 12, 16);
  Recorder recorder;
  DispatchItem({2, 10, 1, 0, kDirectoryType}, body, recorder, false);
  ASSERT_EQ(recorder.entries.size(), 1u);
  EXPECT_EQ(recorder.entries[0].name.size(), 511u);
}

}  // namespace
}  // namespace vantrel::test
