// Sizing compound files and ZIP archives by their own structures.

#include <gtest/gtest.h>

#include <cstring>

#include "base/LittleEndian.h"
#include "carving/CompoundFileSize.h"
#include "carving/RawTestSupport.h"
#include "carving/ZipArchiveWalk.h"
#include "support/Fixtures.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

OffsetReader ReaderOver(const std::vector<std::byte>& bytes) {
  return [&bytes](std::uint64_t offset, MutableByteSpan out) {
    if (offset > bytes.size() || bytes.size() - offset < out.size()) return false;
    std::memcpy(out.data(), bytes.data() + offset, out.size());
    return true;
  };
}

std::optional<std::uint64_t> CompoundFileSize(const OffsetReader& read, std::uint64_t start, std::uint64_t limit) {
  const auto found = MeasureCompoundFile(read, start, limit);
  return found ? std::optional(found->bytes) : std::nullopt;
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
  const std::string name = "a.txt";
  std::vector<std::byte> bytes(30 + name.size() + data.size() + 46 + name.size() + 22 + comment.size());
  PutText(bytes, 0, "PK\x03\x04");
  WriteLittleEndian<std::uint16_t>(bytes, 4, 10);
  WriteLittleEndian<std::uint32_t>(bytes, 18, static_cast<std::uint32_t>(data.size()));
  WriteLittleEndian<std::uint32_t>(bytes, 22, static_cast<std::uint32_t>(data.size()));
  WriteLittleEndian<std::uint16_t>(bytes, 26, static_cast<std::uint16_t>(name.size()));
  PutText(bytes, 30, name);
  PutText(bytes, 30 + name.size(), data);
  const std::size_t directory = 30 + name.size() + data.size();
  PutText(bytes, directory, "PK\x01\x02");
  WriteLittleEndian<std::uint16_t>(bytes, directory + 28, static_cast<std::uint16_t>(name.size()));
  PutText(bytes, directory + 46, name);
  const std::size_t end = directory + 46 + name.size();
  PutText(bytes, end, "PK\x05\x06");
  WriteLittleEndian<std::uint16_t>(bytes, end + 8, 1);
  WriteLittleEndian<std::uint16_t>(bytes, end + 10, 1);
  WriteLittleEndian<std::uint32_t>(bytes, end + 12, static_cast<std::uint32_t>(end - directory));
  WriteLittleEndian<std::uint32_t>(bytes, end + 16, static_cast<std::uint32_t>(directory));
  WriteLittleEndian<std::uint16_t>(bytes, end + 20, static_cast<std::uint16_t>(comment.size()));
  PutText(bytes, end + 22, comment);
  return bytes;
}

TEST(WalkZipArchive, EndsWithTheEndRecordOfItsOwnDirectoryAndItsComment) {
  // The stored data holds an end record of an archive inside it, which does not close this one.
  std::string inner = "PK\x05\x06" + std::string(18, '\0');
  const auto archive = StoredArchive("data " + inner + " more", "a comment");
  std::vector<std::byte> disk(4096);
  std::copy(archive.begin(), archive.end(), disk.begin() + 1024);
  EXPECT_EQ(WalkZipArchive(ReaderOver(disk), 1024, 3072), (ZipArchiveFound{archive.size(), RawFileKind::Zip}));
  // Counted from anywhere else, nothing is an archive.
  EXPECT_FALSE(WalkZipArchive(ReaderOver(disk), 512, 3584));
  // Nor when the archive, its comment included, would run past the disk's end.
  EXPECT_FALSE(WalkZipArchive(ReaderOver(disk), 1024, archive.size() - 1));
  // An archive whose end record is lost gives nothing.
  auto cut = disk;
  std::fill(cut.begin() + 1024 + static_cast<std::ptrdiff_t>(archive.size() - 22 - 9), cut.end(), std::byte{0});
  EXPECT_FALSE(WalkZipArchive(ReaderOver(cut), 1024, 3072));
}

}  // namespace
}  // namespace vantrel::test
