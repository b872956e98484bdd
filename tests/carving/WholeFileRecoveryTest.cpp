// Whole-file raw recovery of current documents made by real software (LibreOffice and
// zip, see bench/make_documents.py): each placed file comes back byte for byte under its
// own extension, and nothing inside one of them becomes a file of its own.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <optional>

#include "app/RunSummaries.h"
#include "carving/RawTestSupport.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

std::vector<RawFileKind> AllKinds() {
  std::vector<RawFileKind> kinds;
  for (int k = 0; k < kKindCount; ++k) kinds.push_back(static_cast<RawFileKind>(k));
  return kinds;
}

std::string UpperExtension(const std::string& name) {
  std::string extension = std::filesystem::path(name).extension();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return extension;
}

class WholeFileRecovery : public ::testing::Test {
 protected:
  void SetUp() override {
    manifest_ = CarveFixtureManifest("whole-documents");
    image_ = CarveFixtureImage("whole-documents");
    unchanged_.emplace(image_);
    wizard_.UseImages({image_});
  }
  std::vector<std::string> Written() const {
    std::vector<std::string> names;
    for (const auto& file : wizard_.state.rawRecovery.report.files) names.push_back(std::filesystem::path(file.path).filename());
    return names;
  }

  nlohmann::json manifest_;
  std::string image_;
  std::optional<UnchangedImage> unchanged_;
  TestWizard wizard_;
  TempDir out_;
};

TEST_F(WholeFileRecovery, EveryPlacedDocumentComesBackWholeUnderItsOwnExtension) {
  ASSERT_TRUE(Carve(wizard_, {.destination = out_.Path(), .kinds = AllKinds(), .exactSizes = true}));
  const auto names = Written();
  for (const auto& file : manifest_["files"]) {
    const std::string name = file["name"];
    const auto original = ImageBytes(image_, file["start_offset"], file["length"]);
    const auto carved = std::find_if(names.begin(), names.end(),
                                     [&](const std::string& n) { return FileBytes(out_ / n) == original; });
    ASSERT_NE(carved, names.end()) << name;
    EXPECT_EQ(UpperExtension(*carved), UpperExtension(name)) << *carved << " for " << name;
  }
  // The Word document and the PDF file stored at sector starts inside an archive, and the
  // images inside the documents, are no files of their own.
  EXPECT_EQ(names.size(), manifest_["files"].size());
}

TEST_F(WholeFileRecovery, NamesFollowTheSequenceAndResultsRowsCountEachKind) {
  ASSERT_TRUE(Carve(wizard_, {.destination = out_.Path(), .kinds = {RawFileKind::Docx, RawFileKind::Pdf,
                                                                     RawFileKind::Rtf}, .exactSizes = true}));
  // Files of unchecked kinds keep their sequence numbers.
  std::vector<std::string> names = Written();
  ASSERT_EQ(names.size(), 3u);
  EXPECT_TRUE(names[0].starts_with("DOCX") && names[0].ends_with(".DOCX")) << names[0];
  EXPECT_EQ(wizard_.state.rawRecovery.report.resultsRows,
            (std::vector<std::string>{"Total DOCX File(s) Recovered :  1", "Total PDF File(s) Recovered :  1",
                                      "Total RTF File(s) Recovered :  1"}));
  EXPECT_EQ(wizard_.state.rawRecovery.report.carves, manifest_["files"].size());
}

TEST_F(WholeFileRecovery, AFileIsReadOnceAndAnArchiveWithoutItsEndRecordIsNoFile) {
  // A document that crosses the scan's 1 MiB blocks, and after it a stray archive header
  // whose entry's sizes follow its data, with nothing after it.
  const auto placed = std::find_if(manifest_["files"].begin(), manifest_["files"].end(),
                                   [](const auto& file) { return file["name"] == "v00-text.docx"; });
  ASSERT_NE(placed, manifest_["files"].end());
  const auto document = ImageBytes(image_, (*placed)["start_offset"], (*placed)["length"]);
  MemoryDiskSource& disk = wizard_.UseMemoryDisk(4 * 2048);
  Put(disk, 2040 * 512, std::string_view(reinterpret_cast<const char*>(document.data()), document.size()));
  Put(disk, 5000 * 512, std::string("PK\x03\x04\x14\x00\x08\x00\x08\x00", 10));
  ASSERT_TRUE(Carve(wizard_, {.destination = out_.Path(), .kinds = AllKinds(), .exactSizes = true}));
  EXPECT_EQ(Written(), (std::vector<std::string>{"DOCX1.DOCX"}));
  EXPECT_EQ(FileBytes(out_ / "DOCX1.DOCX"), document);
  const RawRecoveryReport& report = wizard_.state.rawRecovery.report;
  EXPECT_EQ(report.notSized, 1u);
  EXPECT_EQ(report.carves, 1u);
  EXPECT_NE(RawRecoverySummary(report).find("\r\nHeaders found whose file was not whole (not written) : 1"),
            std::string::npos)
      << RawRecoverySummary(report);
  // The scan, the sizing and the copy shared what was read: every sector once.
  EXPECT_EQ(disk.BytesRead(), 4u * 2048 * 512);
}

TEST_F(WholeFileRecovery, TheNewerKindsAloneDoNotStartARunOfTheDefaultMode) {
  EXPECT_FALSE(Carve(wizard_, {.destination = out_.Path(), .kinds = {RawFileKind::Pdf}}));
  EXPECT_TRUE(Carve(wizard_, {.destination = out_.Path(), .kinds = {RawFileKind::Pdf}, .exactSizes = true}));
}

}  // namespace
}  // namespace vantrel::test
