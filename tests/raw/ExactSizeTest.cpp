// Sizing compound files and ZIP archives by their own structures.

#include <gtest/gtest.h>

#include <cstring>

#include "base/LittleEndian.h"
#include "raw/CompoundFileSize.h"
#include "raw/RawTestSupport.h"
#include "raw/ZipArchiveSize.h"
#include "support/Fixtures.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

ByteReader ReaderOver(const std::vector<std::byte>& bytes) {
  return [&bytes](std::uint64_t offset, MutableByteSpan out) {
    if (offset > bytes.size() || bytes.size() - offset < out.size()) return false;
    std::memcpy(out.data(), bytes.data() + offset, out.size());
    return true;
  };
}

void PutText(std::vector<std::byte>& bytes, std::size_t offset, const std::string& text) {
  std::memcpy(bytes.data() + offset, text.data(), text.size());
}

TEST(CompoundFileSize, GivesTheLengthOfEveryDocumentPlacedInTheFixture) {
  const UnchangedImage unchangedCarve(CarveFixtureImage("carve-basic"));
  const auto manifest = CarveFixtureManifest("carve-basic");
  const std::string image = CarveFixtureImage("carve-basic");
  const auto disk = ImageBytes(image, 0, manifest["size_bytes"].get<std::uint64_t>());
  int documents = 0;
  for (const auto& file : manifest["files"]) {
    const auto start = file["start_offset"].get<std::uint64_t>();
    const auto size = CompoundFileSize(ReaderOver(disk), start, disk.size() - start);
    if (file["header"] == "ole") {
      ++documents;
      EXPECT_EQ(size, file["length"].get<std::uint64_t>()) << file["name"];
      // A disk that ends before the file does cannot hold it.
      EXPECT_FALSE(CompoundFileSize(ReaderOver(disk), start, file["length"].get<std::uint64_t>() - 512));
    } else {
      EXPECT_FALSE(size) << file["name"];
    }
  }
  EXPECT_EQ(documents, 3);
}

// A compound file of 512-byte sectors with more allocation table sectors than the header
// can name: sectors 0 to 109 hold the table, sector 110 the rest of its list, and the
// table marks sectors up to `lastUsed` as in use.
std::vector<std::byte> CompoundFileWithExtendedTable(std::uint32_t lastUsed) {
  constexpr std::uint32_t kTableSectors = 110;
  constexpr std::uint32_t kExtensionSector = 110;
  std::vector<std::byte> bytes((std::size_t{lastUsed} + 2) * 512);
  PutText(bytes, 0, OleHeader());
  WriteLittleEndian<std::uint16_t>(bytes, 0x1C, 0xFFFE);
  WriteLittleEndian<std::uint16_t>(bytes, 0x1E, 9);
  WriteLittleEndian<std::uint32_t>(bytes, 0x2C, kTableSectors);
  WriteLittleEndian<std::uint32_t>(bytes, 0x30, 111);  // directory
  WriteLittleEndian<std::uint32_t>(bytes, 0x44, kExtensionSector);
  WriteLittleEndian<std::uint32_t>(bytes, 0x48, 1);
  for (std::uint32_t i = 0; i < 109; ++i) WriteLittleEndian<std::uint32_t>(bytes, 0x4C + 4 * i, i);
  const auto sectorAt = [](std::uint64_t n) { return (n + 1) * 512; };
  WriteLittleEndian<std::uint32_t>(bytes, sectorAt(kExtensionSector), 109);
  for (std::uint32_t i = 1; i < 128; ++i)
    WriteLittleEndian<std::uint32_t>(bytes, sectorAt(kExtensionSector) + 4 * i, 0xFFFFFFFF);
  for (std::uint32_t entry = 0; entry < kTableSectors * 128; ++entry) {
    const std::uint32_t value = entry < kTableSectors ? 0xFFFFFFFD : entry <= lastUsed ? 0xFFFFFFFE : 0xFFFFFFFF;
    WriteLittleEndian<std::uint32_t>(bytes, sectorAt(entry / 128) + 4 * (entry % 128), value);
  }
  return bytes;
}

TEST(CompoundFileSize, FollowsTheTablesListBeyondTheHeader) {
  const auto file = CompoundFileWithExtendedTable(14000);
  EXPECT_EQ(CompoundFileSize(ReaderOver(file), 0, file.size()), 14002u * 512);
  // The header promises an extension sector it does not name.
  auto broken = file;
  WriteLittleEndian<std::uint32_t>(broken, 0x48, 0);
  EXPECT_FALSE(CompoundFileSize(ReaderOver(broken), 0, broken.size()));
  // A table that claims more sectors than the disk can hold.
  auto huge = file;
  WriteLittleEndian<std::uint32_t>(huge, 0x2C, 0x7FFFFFFF);
  EXPECT_FALSE(CompoundFileSize(ReaderOver(huge), 0, huge.size()));
}

// Bytes of a stored archive with one entry whose data holds `data`, and a comment.
std::vector<std::byte> StoredArchive(const std::string& data, const std::string& comment) {
  std::string archive = "PK\x03\x04\x0A" + std::string(25, '\0') + data;
  const std::size_t directory = archive.size();
  archive += "PK\x01\x02" + std::string(42, '\0');
  std::vector<std::byte> bytes(archive.size() + 22 + comment.size());
  PutText(bytes, 0, archive);
  PutText(bytes, archive.size(), "PK\x05\x06");
  WriteLittleEndian<std::uint16_t>(bytes, archive.size() + 8, 1);
  WriteLittleEndian<std::uint16_t>(bytes, archive.size() + 10, 1);
  WriteLittleEndian<std::uint32_t>(bytes, archive.size() + 12, static_cast<std::uint32_t>(archive.size() - directory));
  WriteLittleEndian<std::uint32_t>(bytes, archive.size() + 16, static_cast<std::uint32_t>(directory));
  WriteLittleEndian<std::uint16_t>(bytes, archive.size() + 20, static_cast<std::uint16_t>(comment.size()));
  PutText(bytes, archive.size() + 22, comment);
  return bytes;
}

TEST(ZipArchiveSize, TakesTheFirstEndRecordThatClosesTheArchiveWithItsComment) {
  // The stored data holds an end record of an archive inside it, which does not fit.
  std::string inner = "PK\x05\x06" + std::string(18, '\0');
  const auto archive = StoredArchive("data " + inner + " more", "a comment");
  std::vector<std::byte> disk(4096);
  std::copy(archive.begin(), archive.end(), disk.begin() + 1024);
  EXPECT_EQ(ZipArchiveSize(ReaderOver(disk), 1024, 4096, 3072), archive.size());
  // The record must begin before the end of the search.
  const std::uint64_t record = 1024 + archive.size() - 22 - 9;
  EXPECT_FALSE(ZipArchiveSize(ReaderOver(disk), 1024, record, 3072));
  EXPECT_EQ(ZipArchiveSize(ReaderOver(disk), 1024, record + 1, 3072), archive.size());
  // Counted from anywhere else, the record does not close an archive.
  EXPECT_FALSE(ZipArchiveSize(ReaderOver(disk), 512, 4096, 3584));
  // Nor when the archive would run past the disk's end.
  EXPECT_FALSE(ZipArchiveSize(ReaderOver(disk), 1024, 4096, archive.size() - 1));
}

}  // namespace
}  // namespace vantrel::test
