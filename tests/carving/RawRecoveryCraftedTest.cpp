// Raw recovery on crafted disks: the cases the fixtures do not show, above all the
// mended ones.

#include <gtest/gtest.h>

#include <fstream>

#include "app/ControlIds.h"
#include "app/RunSummaries.h"
#include "carving/CarvePlan.h"
#include "carving/RawTestSupport.h"
#include "support/TempDir.h"

namespace vantrel::test {
namespace {

constexpr std::uint64_t kWindow = 800;

class RawRecoveryCrafted : public ::testing::Test {
 protected:
  MemoryDiskSource& Disk(std::size_t sectors) { return wizard_.UseMemoryDisk(sectors); }
  // A document or archive header at the start of a sector, and an end marker inside one.
  static void HeaderAt(MemoryDiskSource& disk, std::uint64_t sector, const std::string& header) {
    Put(disk, sector * 512, header);
  }
  static void MarkerAt(MemoryDiskSource& disk, std::uint64_t sector, RawEndMarker marker) {
    Put(disk, sector * 512 + 100, Marker(marker));
  }
  const RawRecoveryReport& Report() const { return wizard_.state.rawRecovery.report; }
  std::vector<std::string> CarvedNames() const {
    std::vector<std::string> names;
    for (const auto& file : Report().files) names.push_back(std::filesystem::path(file.path).filename());
    return names;
  }
  std::uint64_t SizeOf(const std::string& name) const { return std::filesystem::file_size(out_ / name); }

  TestWizard wizard_;
  TempDir out_;
};

TEST_F(RawRecoveryCrafted, ARangeWithoutHeadersIsReadToTheEndAndWritesNothing) {
  MemoryDiskSource& disk = Disk(3 * kWindow);
  MarkerAt(disk, 500, RawEndMarker::ZipEnd);
  ASSERT_TRUE(Carve(wizard_, {.destination = out_.Path()}));
  EXPECT_EQ(disk.Reads(), 3);
  EXPECT_TRUE(FolderNames(out_.Path()).empty());
  EXPECT_TRUE(Report().resultsRows.empty());
  EXPECT_EQ(wizard_.window.ControlText(control::kRawProgress), "0 % Completed");
  EXPECT_EQ(wizard_.window.Control(control::kRawProgress).progress, 0);
}

TEST_F(RawRecoveryCrafted, AFileThatCannotBeCreatedIsNotCountedAndTheUserIsTold) {
  MemoryDiskSource& disk = Disk(kWindow);
  HeaderAt(disk, 10, OleHeader());
  MarkerAt(disk, 14, RawEndMarker::WordDocument);
  HeaderAt(disk, 100, OleHeader());
  MarkerAt(disk, 104, RawEndMarker::WordDocument);
  std::filesystem::create_directory(out_ / "DOC1.DOC");  // takes the first carve's name
  ASSERT_TRUE(Carve(wizard_, {.destination = out_.Path()}));
  EXPECT_EQ(CarvedNames(), (std::vector<std::string>{"DOC2.DOC"}));
  EXPECT_EQ(Report().resultsRows, (std::vector<std::string>{"Total Word File(s) Recovered :  1",
                                                            "Total Excel File(s) Recovered :  0",
                                                            "Total PowerPoint File(s) Recovered :  0",
                                                            "Total Zip File(s) Recovered :  0"}));
  ASSERT_EQ(wizard_.window.Messages().size(), 1u);
  EXPECT_EQ(wizard_.window.Messages()[0].kind, ShownMessage::Kind::SystemError);
  EXPECT_TRUE(wizard_.window.Messages()[0].text.starts_with("Unable to Create File " + (out_ / "DOC1.DOC").string()));
}

TEST_F(RawRecoveryCrafted, ALinkPlantedAtACarvesNameIsNotFollowed) {
  MemoryDiskSource& disk = Disk(kWindow);
  HeaderAt(disk, 10, OleHeader());
  MarkerAt(disk, 14, RawEndMarker::WordDocument);
  TempDir elsewhere;
  const std::filesystem::path victim = elsewhere / "victim";
  std::ofstream(victim) << "keep";
  std::filesystem::create_symlink(victim, out_ / "DOC1.DOC");
  ASSERT_TRUE(Carve(wizard_, {.destination = out_.Path()}));
  EXPECT_TRUE(CarvedNames().empty());
  EXPECT_EQ(std::filesystem::file_size(victim), 4u);
  EXPECT_TRUE(std::filesystem::is_symlink(out_ / "DOC1.DOC"));
}

TEST_F(RawRecoveryCrafted, AMarkerEndingAtTheWindowsLastByteEndsTheFileInItsOwnSector) {
  MemoryDiskSource& disk = Disk(2 * kWindow);
  HeaderAt(disk, 790, ZipHeader());
  const std::string eocd = Marker(RawEndMarker::ZipEnd);
  Put(disk, kWindow * 512 - eocd.size(), eocd);
  MarkerAt(disk, 900, RawEndMarker::ZipEnd);
  ASSERT_TRUE(Carve(wizard_, {.destination = out_.Path()}));
  ASSERT_EQ(CarvedNames(), (std::vector<std::string>{"ZIP1.ZIP"}));
  EXPECT_EQ(Report().files[0].endSector, 799u);
  // A short span takes sectors S to E, so the archive keeps its end record; zeros follow.
  const auto bytes = FileBytes(out_ / "ZIP1.ZIP");
  ASSERT_EQ(bytes.size(), 10240u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()) + 10 * 512 - eocd.size(), eocd.size()), eocd);
  EXPECT_TRUE(std::all_of(bytes.begin() + 10 * 512, bytes.end(), [](std::byte b) { return b == std::byte{0}; }));
}

TEST_F(RawRecoveryCrafted, APendingFileMeetingAHeaderWithoutAnEndIsWrittenUpToThatHeader) {
  MemoryDiskSource& disk = Disk(3 * kWindow);
  HeaderAt(disk, 790, OleHeader());
  HeaderAt(disk, 850, ZipHeader());  // window 1 holds no marker at all
  MarkerAt(disk, 1700, RawEndMarker::ZipEnd);
  ASSERT_TRUE(Carve(wizard_, {.destination = out_.Path()}));
  // The document keeps its header's kind and stops before the archive (span 59: 78
  // sectors); window 1 is then read again and the archive waits for its end in window 2.
  EXPECT_EQ(CarvedNames(), (std::vector<std::string>{"DOC1.DOC", "ZIP2.ZIP"}));
  EXPECT_EQ(Report().files[0].endSector, 849u);
  EXPECT_EQ(SizeOf("DOC1.DOC"), 78u * 512);
  EXPECT_EQ(Report().files[1].startSector, 850u);
  EXPECT_EQ(Report().files[1].endSector, 1700u);
}

TEST_F(RawRecoveryCrafted, AFileStillPendingWhenTheRangeEndsIsWrittenUpToTheRangesEnd) {
  MemoryDiskSource& disk = Disk(2 * kWindow);
  HeaderAt(disk, 1500, OleHeader());
  ASSERT_TRUE(Carve(wizard_, {.destination = out_.Path()}));
  ASSERT_EQ(CarvedNames(), (std::vector<std::string>{"DOC1.DOC"}));
  EXPECT_EQ(Report().files[0].endSector, 1599u);
  EXPECT_EQ(SizeOf("DOC1.DOC"), (99u + 19u) * 512);

  TempDir second;
  ASSERT_TRUE(Carve(wizard_, {.destination = second.Path(), .start = 1000, .end = 1550}));
  EXPECT_EQ(Report().files.at(0).endSector, 1549u);
  EXPECT_EQ(std::filesystem::file_size(second / "DOC1.DOC"), (49u + 9u) * 512);
}

TEST_F(RawRecoveryCrafted, AStrayZipHeaderWithoutAnEndIsCappedLikeADocument) {
  MemoryDiskSource& disk = Disk(40960);  // 20 MiB of zeros
  HeaderAt(disk, 100, ZipHeader());
  ASSERT_TRUE(Carve(wizard_, {.destination = out_.Path()}));
  ASSERT_EQ(CarvedNames(), (std::vector<std::string>{"ZIP1.ZIP"}));
  EXPECT_EQ(SizeOf("ZIP1.ZIP"), kDocumentCapSectors * 512);
}

TEST_F(RawRecoveryCrafted, StopWhileAFileIsCopiedRemovesTheFileAndTheSummarySaysSo) {
  MemoryDiskSource& disk = Disk(40960);
  HeaderAt(disk, 100, ZipHeader());  // no end: written when the range is done, 10,260 sectors
  // A sector of the copy's second stretch: read once by the scan, then by the copy, which
  // is stopped there as a user's Stop would.
  const std::uint64_t tripwire = (100 + 2 * 2040 - 10) * 512;
  int reads = 0;
  disk.onRead = [&](std::uint64_t offset, std::size_t length) {
    if (offset <= tripwire && tripwire - offset < length && ++reads == 2)
      wizard_.state.rawRecovery.requests.stop = 1;
  };
  ASSERT_TRUE(Carve(wizard_, {.destination = out_.Path()}));
  ASSERT_EQ(reads, 2);
  EXPECT_TRUE(Report().stopped);
  EXPECT_TRUE(FolderNames(out_.Path()).empty());
  EXPECT_TRUE(Report().files.empty());
  EXPECT_EQ(Report().removedFile, (out_ / "ZIP1.ZIP").string());
  const std::string summary = RawRecoverySummary(Report());
  EXPECT_TRUE(summary.starts_with("Raw recovery stopped.\r\nFiles written : 0 (0 bytes)")) << summary;
  EXPECT_TRUE(summary.ends_with("Cut short by Stop and removed :\r\n    " + (out_ / "ZIP1.ZIP").string())) << summary;
}

TEST_F(RawRecoveryCrafted, ACarveIsNamedAfterItsOwnHeaderWhateverMarkerEndsIt) {
  MemoryDiskSource& disk = Disk(kWindow);
  HeaderAt(disk, 10, OleHeader());
  MarkerAt(disk, 14, RawEndMarker::ZipEnd);
  HeaderAt(disk, 100, ZipHeader());
  MarkerAt(disk, 104, RawEndMarker::PowerPointDocument);
  ASSERT_TRUE(Carve(wizard_, {.destination = out_.Path()}));
  EXPECT_EQ(CarvedNames(), (std::vector<std::string>{"DOC1.DOC", "ZIP2.ZIP"}));
  EXPECT_EQ(Report().files[0].endSector, 14u);
  EXPECT_EQ(Report().files[1].endSector, 104u);
}

TEST_F(RawRecoveryCrafted, HeadersWithoutEndsInOneWindowEachEndBeforeTheNext) {
  MemoryDiskSource& disk = Disk(2 * kWindow);
  HeaderAt(disk, 100, OleHeader());
  HeaderAt(disk, 200, OleHeader());
  MarkerAt(disk, 900, RawEndMarker::WordDocument);
  ASSERT_TRUE(Carve(wizard_, {.destination = out_.Path()}));
  EXPECT_EQ(CarvedNames(), (std::vector<std::string>{"DOC1.DOC", "DOC2.DOC"}));
  EXPECT_EQ(Report().files[0].endSector, 199u);
  EXPECT_EQ(Report().files[1].startSector, 200u);
  EXPECT_EQ(Report().files[1].endSector, 900u);
}

TEST_F(RawRecoveryCrafted, UnreadableSectorsAreAskedAboutOncePerTwentySectorRequest) {
  MemoryDiskSource& disk = Disk(2 * kWindow);
  disk.FailSector(805);
  disk.FailSector(815);
  disk.FailSector(825);
  wizard_.answers.AddBadSector(BadSectorAnswer::Skip);
  wizard_.answers.AddBadSector(BadSectorAnswer::Skip);
  ASSERT_TRUE(Carve(wizard_, {.destination = out_.Path()}));
  EXPECT_EQ(wizard_.window.BadSectorPrompts(), 2);
}

TEST_F(RawRecoveryCrafted, WholeFilesAreNotCarvedFromHeadersWhoseStructureDoesNotHold) {
  MemoryDiskSource& disk = Disk(kWindow);
  HeaderAt(disk, 100, OleHeader());  // no valid header fields
  MarkerAt(disk, 104, RawEndMarker::WordDocument);
  HeaderAt(disk, 300, ZipHeader());  // no central directory
  MarkerAt(disk, 340, RawEndMarker::ZipEnd);
  HeaderAt(disk, 400, "%PDF-1.4\n");  // no end
  HeaderAt(disk, 500, "{\\rtf1 {unbalanced");
  ASSERT_TRUE(Carve(wizard_, {.destination = out_.Path(), .exactSizes = true}));
  EXPECT_TRUE(CarvedNames().empty());
  EXPECT_EQ(Report().carves, 0u);
}

}  // namespace
}  // namespace vantrel::test
