// The recovery log file format: logs assembled here byte by byte from the format's table
// load, ours write the same bytes followed by the extension, and damaged or foreign files
// are refused without reading past their end.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "logs/RecoveryLogFormat.h"

namespace vantrel::test {
namespace {

// Bytes assembled by hand, independently of the writer under test.
struct HandBytes {
  std::string bytes;
  HandBytes& u8(unsigned v) { bytes.push_back(static_cast<char>(v)); return *this; }
  HandBytes& u16(unsigned v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
  HandBytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
  HandBytes& text(const std::string& t) { bytes += t; return *this; }
  // A catalogue record: length (name + 17), name, parentId, objectId, size, time, typeCode.
  HandBytes& entry(const std::string& name, std::uint32_t parent, std::uint32_t id, std::uint32_t size,
                   std::uint32_t time, unsigned type) {
    return u32(static_cast<std::uint32_t>(name.size()) + 17).text(name).u32(parent).u32(id).u32(size).u32(time).u8(type);
  }
};

ByteSpan Span(const std::string& bytes) { return std::as_bytes(std::span(bytes.data(), bytes.size())); }

std::array<std::byte, 204> SuperblockBytes() {
  std::array<std::byte, 204> bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::byte>(i * 7 + 1);
  return bytes;
}

// Fields 1 to 11 of a log made on disk model "WDC WD800" at partition 1 of two.
HandBytes LogHead(unsigned searchType) {
  HandBytes log;
  log.text("Korvane Vantrel ReiserFS 12.04.06").u32(9).text("WDC WD800");
  log.u8(1).u16(searchType).u8(3);             // Quick Search, the search type, Disk3
  log.u32(409600).u32(4096);                   // selected partition size and start
  log.u8(2).u32(2048).u32(63).u32(409600).u32(4096);  // two partitions: size, start
  const auto superblock = SuperblockBytes();
  log.bytes.append(reinterpret_cast<const char*>(superblock.data()), superblock.size());
  return log;
}

HandBytes QuickLog() {
  HandBytes log = LogHead(1);
  log.u32(2).entry("Lost", 0, 0x0FFFFFFF, 0, 0, 0).entry("docs", 2, 40, 0, 1136452391, 0);
  log.u32(1).entry("notes", 40, 41, 1234, 1136452400, 8);
  return log;
}

TEST(RecoveryLogFormat, HandAssembledQuickLogLoadsAndOursWritesTheSameBytes) {
  const HandBytes hand = QuickLog();
  // "notes" has 5 characters: the record length field is 22 and the record 26 bytes long.
  EXPECT_EQ(hand.bytes.substr(hand.bytes.size() - 26, 4), std::string("\x16\0\0\0", 4));
  const auto log = DecodeRecoveryLog(Span(hand.bytes));
  ASSERT_TRUE(log);
  EXPECT_EQ(log->head.diskModel, "WDC WD800");
  EXPECT_EQ(log->head.recoveryMode, 1);
  EXPECT_EQ(log->head.fileSearchType, 1);
  EXPECT_EQ(log->head.diskIndex, 3);
  EXPECT_EQ(log->head.selected.size, 409600u);
  EXPECT_EQ(log->head.selected.start, 4096u);
  ASSERT_EQ(log->partitions.size(), 2u);
  EXPECT_EQ(log->partitions[0].size, 2048u);
  EXPECT_EQ(log->partitions[0].start, 63u);
  EXPECT_EQ(log->catalogue.currentSuperblock.Encode(), SuperblockBytes());
  EXPECT_TRUE(log->catalogue.objectList.Empty());
  const auto& folders = log->catalogue.folderList;
  ASSERT_EQ(folders.size(), 2u);
  EXPECT_EQ(log->catalogue.Name(folders[1]), "docs");
  EXPECT_EQ(folders[1].parentId, 2u);
  EXPECT_EQ(folders[1].folderId, 2u);  // a plain log: the folder that names an entry is its parentId
  EXPECT_EQ(folders[1].modificationTime, 1136452391u);
  const auto& file = log->catalogue.fileList.at(0);
  EXPECT_EQ(log->catalogue.Name(file), "notes");
  EXPECT_EQ(file.objectId, 41u);
  EXPECT_EQ(file.size, 1234u);
  EXPECT_EQ(file.typeCode, 8);
  EXPECT_EQ(DecodeLogDiskModel(Span(hand.bytes)), "WDC WD800");

  const std::string ours = EncodeRecoveryLog(log->head, log->partitions, log->catalogue);
  ASSERT_GT(ours.size(), hand.bytes.size());
  EXPECT_EQ(ours.substr(0, hand.bytes.size()), hand.bytes);
  EXPECT_EQ(ours.substr(hand.bytes.size(), 8), "VTRLEXT1");
}

TEST(RecoveryLogFormat, HandAssembledAdvancedLogKeepsPieceOrderAndMergesRepeatedObjects) {
  HandBytes hand = LogHead(2);
  hand.u32(3);
  // name, dirId, objectId, size, time, mode, piece count, then block, length, location.
  hand.u32(17 + 4).text("Lost").u32(0).u32(0x0FFFFFFF).u32(0).u32(0).u32(0).u32(0);
  hand.u32(17 + 5).text("a.txt").u32(2).u32(50).u32(9000).u32(77).u32(0100644).u32(2);
  hand.u32(300).u32(16).u32(1000).u32(301).u32(8).u32(2000);
  hand.u32(17 + 5).text("again").u32(2).u32(50).u32(9001).u32(78).u32(0100600).u32(1);
  hand.u32(302).u32(4).u32(3000);
  hand.u32(1).entry("Lost", 0, 0x0FFFFFFF, 0, 0, 0);
  hand.u32(1).entry("a.txt", 2, 50, 9001, 78, 0);

  const auto log = DecodeRecoveryLog(Span(hand.bytes));
  ASSERT_TRUE(log);
  const ObjectList& objects = log->catalogue.objectList;
  ASSERT_EQ(objects.Size(), 2u);  // the second "a.txt" record found the first one
  const ObjectRecord& record = objects[1];
  EXPECT_EQ(objects.Name(record), "a.txt");
  EXPECT_EQ(record.size, 9001u);
  EXPECT_EQ(record.modificationTime, 78u);
  EXPECT_EQ(record.mode, 0100600u);
  const auto pieces = objects.Pieces(record);
  ASSERT_EQ(pieces.size(), 3u);
  EXPECT_EQ(pieces[0].block, 300u);
  EXPECT_EQ(pieces[0].length, 16u);
  EXPECT_EQ(pieces[0].location, 1000u);
  EXPECT_EQ(pieces[2].location, 3000u);
  EXPECT_EQ(pieces[2].offset, 0u);  // unknown in a plain log

  // Ours writes the object list in the same layout (each record once).
  const std::string ours = EncodeRecoveryLog(log->head, log->partitions, log->catalogue);
  const auto again = DecodeRecoveryLog(Span(ours));
  ASSERT_TRUE(again);
  EXPECT_EQ(again->catalogue.objectList.Pieces(again->catalogue.objectList[1]).size(), 3u);
  EXPECT_EQ(ours.substr(0, LogHead(2).bytes.size()), LogHead(2).bytes);
}

Catalogue WideCatalogue() {
  Catalogue catalogue;
  catalogue.currentSuperblock = *ReiserSuperblock::Decode(SuperblockBytes());
  AppendFolder(catalogue, "Lost", kLostFolderId, 0, 0, 0, 0);
  AppendFolder(catalogue, "moved", 60, 2, 5, 0, 0).folderId = 61;
  AppendFile(catalogue, "big.iso", 70, 60, 6, 0x123456789ULL, 0).folderId = 62;
  ObjectList& objects = catalogue.objectList;
  const ObjectRecord& record = objects.Append(
      {.objectId = 70, .dirId = 60, .folderId = 62, .modificationTime = 6, .mode = 0100644, .size = 0x123456789ULL},
      "big.iso");
  objects.AddPiece(record, {10, 100, 16, 1});
  objects.AddTailPiece(record, {12, 300, 21, 4096 * 6 + 1});
  objects.AddPiece(record, {11, 200, 8, 4096 * 4 + 1});
  objects.GroupPieces();
  return catalogue;
}

TEST(RecoveryLogFormat, ExtensionCarriesFolderIdsWideValuesPiecePositionsAndTails) {
  const Catalogue catalogue = WideCatalogue();
  const RecoveryLogHead head{"disk", 2, 2, 0, {0x100000000ULL + 5, 0x200000000ULL + 7}};
  const std::vector<LoggedPartition> partitions{{0x100000000ULL + 5, 0x200000000ULL + 7}};
  const auto log = DecodeRecoveryLog(Span(EncodeRecoveryLog(head, partitions, catalogue)));
  ASSERT_TRUE(log);
  EXPECT_EQ(log->head.selected.start, 0x200000000ULL + 7);
  EXPECT_EQ(log->partitions.at(0).size, 0x100000000ULL + 5);
  EXPECT_EQ(log->catalogue.folderList[1].folderId, 61u);
  EXPECT_EQ(log->catalogue.fileList[0].folderId, 62u);
  EXPECT_EQ(log->catalogue.fileList[0].size, 0x123456789ULL);
  const ObjectList& objects = log->catalogue.objectList;
  const ObjectRecord& record = objects[0];
  EXPECT_EQ(record.folderId, 62u);
  EXPECT_EQ(record.size, 0x123456789ULL);
  ASSERT_EQ(objects.Pieces(record).size(), 2u);
  EXPECT_EQ(objects.Pieces(record)[1].offset, 4096u * 4 + 1);
  const auto tails = objects.TailPieces(record);
  ASSERT_EQ(tails.size(), 1u);
  EXPECT_EQ(tails[0].block, 12u);
  EXPECT_EQ(tails[0].location, 300u);
  EXPECT_EQ(tails[0].length, 21u);
  EXPECT_EQ(tails[0].offset, 4096u * 6 + 1);
}

TEST(RecoveryLogFormat, EveryTruncationIsRefusedExceptRightAfterTheLastFileRecord) {
  const RecoveryLogHead head{"disk", 2, 2, 0, {8, 16}};
  const std::string whole = EncodeRecoveryLog(head, std::vector<LoggedPartition>{{8, 16}}, WideCatalogue());
  const std::size_t plainEnd = whole.find("VTRLEXT1");
  ASSERT_NE(plainEnd, std::string::npos);
  for (std::size_t length = 0; length < whole.size(); ++length) {
    const auto log = DecodeRecoveryLog(Span(whole.substr(0, length)));
    // Cut inside the extension magic, the rest reads as a plain log's trailing bytes.
    const bool plainLogWhole = length >= plainEnd && length < plainEnd + 8;
    EXPECT_EQ(log.has_value(), plainLogWhole) << length;
  }
}

TEST(RecoveryLogFormat, ImplausibleFieldsAreRefused) {
  const auto refused = [](const HandBytes& log) { return !DecodeRecoveryLog(Span(log.bytes)); };
  HandBytes shortRecord = LogHead(1);
  shortRecord.u32(1).u32(16).u32(2).u32(3).u32(0).u32(0).u8(0).u32(0);
  EXPECT_TRUE(refused(shortRecord));
  HandBytes longName = LogHead(1);
  longName.u32(1).entry(std::string(512, 'n'), 2, 3, 0, 0, 0).u32(0);
  EXPECT_TRUE(refused(longName));
  HandBytes longestName = LogHead(1);
  longestName.u32(1).entry(std::string(511, 'n'), 2, 3, 0, 0, 0).u32(0);
  EXPECT_FALSE(refused(longestName));
  HandBytes hugeCount = LogHead(1);
  hugeCount.u32(0xFFFFFFFF).entry("a", 2, 3, 0, 0, 0);
  EXPECT_TRUE(refused(hugeCount));
  HandBytes hugePieces = LogHead(2);
  hugePieces.u32(1).u32(18).text("a").u32(2).u32(3).u32(0).u32(0).u32(0).u32(0x40000000).u32(0).u32(0);
  EXPECT_TRUE(refused(hugePieces));
  HandBytes rawMode = QuickLog();
  rawMode.bytes[33 + 4 + 9] = 3;
  EXPECT_TRUE(refused(rawMode));
  HandBytes noSearchType = QuickLog();
  noSearchType.bytes[33 + 4 + 9 + 1] = 0;
  EXPECT_TRUE(refused(noSearchType));
  HandBytes modelTooLong;
  modelTooLong.text("Korvane Vantrel ReiserFS 12.04.06").u32(1000).text("abc");
  EXPECT_FALSE(DecodeLogDiskModel(Span(modelTooLong.bytes)));
  EXPECT_FALSE(DecodeLogDiskModel(Span(std::string("Korvane"))));
}

TEST(RecoveryLogFormat, ExtensionMustAgreeWithThePlainFieldsAndLaterSectionsAreSkipped) {
  HandBytes log = QuickLog();
  log.text("VTRLEXT1").text("NEW!").u32(3).text("xyz");  // a section of a later version
  log.text("FILE").u32(12).u32(40).u32(1234).u32(1);      // size 0x1000004D2: low half 1234
  log.text("END.").u32(0);
  const auto loaded = DecodeRecoveryLog(Span(log.bytes));
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->catalogue.fileList[0].size, 0x1000004D2ULL);

  HandBytes disagreeing = QuickLog();
  disagreeing.text("VTRLEXT1").text("FILE").u32(12).u32(40).u32(1235).u32(0).text("END.").u32(0);
  EXPECT_FALSE(DecodeRecoveryLog(Span(disagreeing.bytes)));
  HandBytes wrongCount = QuickLog();
  wrongCount.text("VTRLEXT1").text("FOLD").u32(12).u32(2).u32(0).u32(0).text("END.").u32(0);  // one of two folders
  EXPECT_FALSE(DecodeRecoveryLog(Span(wrongCount.bytes)));
  HandBytes cutSection = QuickLog();
  cutSection.text("VTRLEXT1").text("FILE").u32(100).u32(40);
  EXPECT_FALSE(DecodeRecoveryLog(Span(cutSection.bytes)));
  HandBytes noEnd = QuickLog();
  noEnd.text("VTRLEXT1").text("FILE").u32(12).u32(40).u32(1234).u32(0);
  EXPECT_FALSE(DecodeRecoveryLog(Span(noEnd.bytes)));
  HandBytes otherTrailer = QuickLog();
  otherTrailer.text("some other program's bytes");
  EXPECT_TRUE(DecodeRecoveryLog(Span(otherTrailer.bytes)));
}

}  // namespace
}  // namespace vantrel::test
