// Sizing files carved whole by their own structures: where a PDF or RTF file ends, and
// what a compound file or ZIP archive is when its records are damaged or renamed.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "carving/CompoundFileSize.h"
#include "carving/RawTestSupport.h"
#include "carving/TextDocumentSize.h"
#include "carving/ZipArchiveWalk.h"
#include "support/Fixtures.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

struct Bytes {
  std::vector<std::byte> data;
  OffsetReader Reader() const {
    return [this](std::uint64_t offset, MutableByteSpan out) {
      if (offset > data.size() || data.size() - offset < out.size()) return false;
      std::memcpy(out.data(), data.data() + offset, out.size());
      return true;
    };
  }
  void Put(std::size_t offset, std::string_view text) {
    if (data.size() < offset + text.size()) data.resize(offset + text.size(), std::byte{'x'});
    std::memcpy(data.data() + offset, text.data(), text.size());
  }
};

Bytes Text(std::string_view text) {
  Bytes bytes;
  bytes.Put(0, text);
  return bytes;
}

TEST(PdfFileSize, RunsToTheLastEndThatAnUpdateFollows) {
  const std::string first = "%PDF-1.4\n1 0 obj\n<<>>\nendobj\ntrailer\n<<>>\n%%EOF\n";
  const std::string update = "2 0 obj\n<<>>\nendobj\nxref\n0 1\ntrailer\n<</Prev 9>>\n%%EOF\r\n";
  const Bytes updated = Text(first + update + "garbage %%EOF\n");
  EXPECT_EQ(PdfFileSize(updated.Reader(), 0, updated.data.size()), first.size() + update.size());
  // What follows the end is no object: the file ends there, though another "%%EOF" comes.
  const Bytes single = Text(first + "old bytes 1 0 x %%EOF\n");
  EXPECT_EQ(PdfFileSize(single.Reader(), 0, single.data.size()), first.size());
  // No end within the cap.
  EXPECT_FALSE(PdfFileSize(single.Reader(), 0, first.size() - 7));
}

TEST(PdfFileSize, EndsBeforeTheNextHeaderAtASectorStart) {
  Bytes bytes = Text("%PDF-1.4\n%%EOF\n3 0 obj\n");
  bytes.Put(1024, "PK\x03\x04 a later archive %%EOF\n");
  EXPECT_EQ(PdfFileSize(bytes.Reader(), 0, bytes.data.size()), 15u);
  bytes.Put(1024, "QK\x03\x04");  // no header: the update runs on to its own end
  EXPECT_EQ(PdfFileSize(bytes.Reader(), 0, bytes.data.size()), bytes.data.size());
}

TEST(RtfFileSize, EndsAtTheBraceThatBalancesTheFirst) {
  const std::string body = "{\\rtf1\\ansi {\\b bold \\{ \\} \\\\}{\\pict\\bin4 }}{{}\\par text}";
  const Bytes bytes = Text(body + "}}} trailing");
  EXPECT_EQ(RtfFileSize(bytes.Reader(), 0, bytes.data.size()), body.size());
  // A zero byte before the end is no text: the file is broken.
  Bytes broken = Text("{\\rtf1 {open");
  broken.data.push_back(std::byte{0});
  broken.Put(broken.data.size(), "}}");
  EXPECT_FALSE(RtfFileSize(broken.Reader(), 0, broken.data.size()));
  EXPECT_FALSE(RtfFileSize(bytes.Reader(), 0, body.size() - 1));
}

// A placed file of the whole-documents image.
Bytes PlacedFile(const std::string& name) {
  const auto manifest = CarveFixtureManifest("whole-documents");
  for (const auto& file : manifest["files"])
    if (file["name"] == name)
      return {ImageBytes(UnchangedImage(CarveFixtureImage("whole-documents")), file["start_offset"], file["length"])};
  throw std::runtime_error("no file " + name);
}

// A damaged header on a large disk: its allocation table would have millions of sectors,
// each listed through a chain of extension sectors that loops on itself. Sizing it must
// give up at once instead of reading a table the size of the disk.
TEST(CompoundFileSize, AHeaderClaimingATableBeyondTheLargestFileReadsAlmostNothing) {
  std::array<std::byte, 512> header{};
  const std::string_view magic = SignatureTable()[0].header;
  std::memcpy(header.data(), magic.data(), magic.size());
  WriteLittleEndian<std::uint16_t>(header, 0x1C, 0xFFFE);
  WriteLittleEndian<std::uint16_t>(header, 0x1E, 9);                  // 512-byte sectors
  WriteLittleEndian<std::uint32_t>(header, 0x2C, std::uint32_t{1} << 24);  // table sectors
  WriteLittleEndian<std::uint32_t>(header, 0x44, 0);                  // extension chain from sector 0,
  WriteLittleEndian<std::uint32_t>(header, 0x48, 0xFFFFFFFF);         // which names itself again
  const std::uint64_t disk = std::uint64_t{1} << 40;
  int reads = 0;
  const OffsetReader read = [&](std::uint64_t offset, MutableByteSpan out) {
    ++reads;
    std::fill(out.begin(), out.end(), std::byte{0});
    if (offset < header.size()) std::memcpy(out.data(), header.data() + offset, std::min(out.size(), header.size() - offset));
    return offset + out.size() <= disk;
  };
  EXPECT_FALSE(MeasureCompoundFile(read, 0, disk));
  EXPECT_LT(reads, 100);
}

TEST(CompoundFileKind, ComesFromTheRootStreamNamesAndOtherwiseIsOle) {
  Bytes document = PlacedFile("v00-text.doc");
  const auto word = MeasureCompoundFile(document.Reader(), 0, document.data.size());
  ASSERT_TRUE(word);
  EXPECT_EQ(*word, (CompoundFileFound{document.data.size(), RawFileKind::Word}));
  // Renamed, the stream no longer says what the file is.
  const std::string name("W\0o\0r\0d\0D\0o\0c\0", 14);  // "WordDoc" in UTF-16, its last NUL included
  const auto text = std::string_view(reinterpret_cast<const char*>(document.data.data()), document.data.size());
  const auto at = text.find(name);
  ASSERT_NE(at, std::string_view::npos);
  document.Put(at, "X");
  EXPECT_EQ(MeasureCompoundFile(document.Reader(), 0, document.data.size()),
            (CompoundFileFound{document.data.size(), RawFileKind::Ole}));
  for (const auto& [file, kind] : {std::pair{"v00-sheet.xls", RawFileKind::Excel},
                                   std::pair{"v00-slides.ppt", RawFileKind::PowerPoint}}) {
    const Bytes other = PlacedFile(file);
    EXPECT_EQ(MeasureCompoundFile(other.Reader(), 0, other.data.size()), (CompoundFileFound{other.data.size(), kind}))
        << file;
  }
}

TEST(ZipArchiveWalk, RefusesAnArchiveWhoseEndRecordDisagreesOrIsCutOff) {
  Bytes archive = PlacedFile("v00-zip64.zip");
  ASSERT_EQ(WalkZipArchive(archive.Reader(), 0, archive.data.size()),
            (ZipArchiveFound{archive.data.size(), RawFileKind::Zip}));
  EXPECT_FALSE(WalkZipArchive(archive.Reader(), 0, archive.data.size() - 1));
  // The end record's directory size no longer matches the walked directory.
  const std::size_t end = archive.data.size() - 22;
  archive.data[end + 12] = std::byte{0x01};
  archive.data[end + 13] = std::byte{0x01};
  EXPECT_FALSE(WalkZipArchive(archive.Reader(), 0, archive.data.size()));
  const Bytes streamed = PlacedFile("v00-streamed.zip");  // its entry's sizes follow the data
  EXPECT_EQ(WalkZipArchive(streamed.Reader(), 0, streamed.data.size()),
            (ZipArchiveFound{streamed.data.size(), RawFileKind::Zip}));
  // Its entry's end is searched for within the cap only.
  EXPECT_FALSE(WalkZipArchive(streamed.Reader(), 0, streamed.data.size(), 16));
}

}  // namespace
}  // namespace vantrel::test
