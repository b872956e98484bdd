// Raw recovery of the carve fixtures, with expectations taken from their manifests: where
// each file starts, and in which sector each header and end marker lies.

#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "app/ControlIds.h"
#include "carving/CarveWriter.h"
#include "carving/RawTestSupport.h"
#include "support/Fixtures.h"
#include "support/TempDir.h"
#include "support/UnchangedImage.h"

namespace vantrel::test {
namespace {

struct ExpectedCarve {
  std::string name;
  std::uint64_t start;
  std::uint64_t end;    // the end sector the scan should find
  std::uint64_t bytes;  // by the writing rules
};

std::string ExtensionOf(const std::string& manifestKind) {
  const std::map<std::string, RawFileKind> kinds = {{"word", RawFileKind::Word},
                                                    {"excel", RawFileKind::Excel},
                                                    {"powerpoint", RawFileKind::PowerPoint},
                                                    {"zip", RawFileKind::Zip}};
  return std::string(KindTexts(kinds.at(manifestKind)).extension);
}

class RawRecoveryOnFixtures : public ::testing::Test {
 protected:
  void Open(const std::string& name) {
    manifest_ = CarveFixtureManifest(name);
    image_ = CarveFixtureImage(name);
    unchanged_.emplace(image_);
    wizard_.UseImages({image_});
  }
  const nlohmann::json& File(const std::string& name) const {
    for (const auto& file : manifest_["files"])
      if (file["name"] == name) return file;
    throw std::runtime_error("no file " + name);
  }
  std::uint64_t StartOf(const std::string& name) const { return File(name)["start_sector"].get<std::uint64_t>(); }
  // The sector of a file's only end marker of that kind.
  std::uint64_t MarkerOf(const std::string& name, const std::string& marker) const {
    const auto& offsets = File(name)["markers"][marker];
    EXPECT_EQ(offsets.size(), 1u) << name << " " << marker;
    return StartOf(name) + offsets[0].get<std::uint64_t>() / 512;
  }

  // Each expected file is in the folder with the content the writing rules give, and
  // nothing else is.
  void ExpectCarves(const std::vector<ExpectedCarve>& expected) {
    std::vector<std::string> names;
    for (const auto& carve : expected) {
      names.push_back(carve.name);
      const auto bytes = FileBytes(out_ / carve.name);
      ASSERT_EQ(bytes.size(), carve.bytes) << carve.name;
      const bool shortSpan = carve.end - carve.start <= 20;
      const auto sectors = shortSpan ? std::min<std::uint64_t>(carve.end - carve.start + 1, 20) : carve.bytes / 512;
      EXPECT_TRUE(bytes == SectorsThenZeros(image_, carve.start, sectors, carve.bytes)) << carve.name;
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(FolderNames(out_.Path()), names);
  }

  nlohmann::json manifest_;
  std::string image_;
  std::optional<UnchangedImage> unchanged_;
  TestWizard wizard_;
  TempDir out_;
};

TEST_F(RawRecoveryOnFixtures, CarvesOneFileOfEachKindFromTheBasicImage) {
  Open("carve-basic");
  ASSERT_TRUE(Carve(wizard_, {.destination = out_.Path()}));
  // Word: the marker 4 sectors in gives a 10,240-byte fragment. Excel: span 24 gives 28
  // sectors. PowerPoint: the marker lies two windows on; span 915 gives 930 sectors.
  // ZIP: span 35 gives 50 sectors.
  ExpectCarves({{"DOC1.DOC", 37, MarkerOf("p-word-tiny.doc", "word_document"), 10240},
                {"XLS2.XLS", 900, MarkerOf("p-xls-small.xls", "workbook_utf16"), 28 * 512},
                {"PPT3.PPT", 1700, MarkerOf("p-ppt-small.ppt", "powerpoint_document_utf16"), 930 * 512},
                {"ZIP4.ZIP", 3300, MarkerOf("p-zip-stored-small.zip", "zip_eocd"), 50 * 512}});
  EXPECT_EQ(wizard_.state.rawRecovery.report.resultsRows,
            (std::vector<std::string>{"Total Word File(s) Recovered :  1", "Total Excel File(s) Recovered :  1",
                                      "Total PowerPoint File(s) Recovered :  1", "Total Zip File(s) Recovered :  1"}));
  // At the end the panel is idle again, its results still shown.
  EXPECT_EQ(wizard_.window.List(control::kRawResultsList).FirstCells(), wizard_.state.rawRecovery.report.resultsRows);
  EXPECT_EQ(wizard_.window.ControlText(control::kRawStartButton), "&Start Recovery");
  EXPECT_EQ(wizard_.window.ControlText(control::kRawProgress), "0 % Completed");
  EXPECT_FALSE(wizard_.window.Control(control::kRawProgress).shown);
  EXPECT_EQ(wizard_.window.ControlText(control::kRawStatus), "");
  EXPECT_TRUE(wizard_.window.Messages().empty());
}

TEST_F(RawRecoveryOnFixtures, FollowsTheScanRulesThroughTheMixedImage) {
  Open("carve-mixed");
  ASSERT_TRUE(Carve(wizard_, {.destination = out_.Path()}));
  const auto start = [this](const char* name) { return StartOf(name); };
  ExpectCarves({
      // Window 0 lists 100, 168, 220, 300, 338 (the ZIP at sector 0 is never listed). The
      // Word record's last marker is the second document's, beyond its header.
      {"DOC1.DOC", start("p-word-memo.doc"), start("p-word-tiny.doc") - 1, 74 * 512},
      {"DOC2.DOC", start("p-word-tiny.doc"), MarkerOf("p-word-tiny.doc", "word_document"), 10240},
      {"XLS3.XLS", start("p-xls-small.xls"), MarkerOf("p-xls-small.xls", "workbook_utf16"), 28 * 512},
      {"ZIP4.ZIP", start("p-zip-stored-small.zip"), start("p-zip-dirfirst.zip") - 1, 54 * 512},
      {"ZIP5.ZIP", start("p-zip-dirfirst.zip"), MarkerOf("p-zip-dirfirst.zip", "zip_eocd"), 60 * 512},
      // Pending from window 1 to the marker in window 2 (the deflated ZIP has no header).
      {"XLS6.XLS", start("p-xls-medium.xls"), MarkerOf("p-xls-medium.xls", "workbook_utf16"), 826 * 512},
      {"DOC7.DOC", start("p-word-report.doc"), MarkerOf("p-word-report.doc", "word_document"), 10240},
      // The ZIP header before the window's last OLE header is not listed.
      {"DOC8.DOC", start("p-word-letter.doc"), MarkerOf("p-word-letter.doc", "word_document"), 10240},
      {"PPT9.PPT", start("p-ppt-small.ppt"), MarkerOf("p-ppt-small.ppt", "powerpoint_document_utf16"), 930 * 512},
      {"ZIP10.ZIP", start("p-zip-stored-c.zip"), MarkerOf("p-zip-stored-c.zip", "zip_eocd"), 248 * 512},
      // Its own end record crosses into the next window unseen: the next one ends it.
      {"ZIP11.ZIP", start("p-zip-eocd-cross.zip"), MarkerOf("p-zip-deflated-b.zip", "zip_eocd"), 396 * 512},
      {"DOC12.DOC", start("p-word-6mb.doc"), MarkerOf("p-word-6mb.doc", "word_document"), 10240},
      {"ZIP13.ZIP", start("p-zip-stored-7mb.zip"), MarkerOf("p-zip-stored-7mb.zip", "zip_eocd"), 13780 * 512},
      {"XLS14.XLS", start("p-xls-large.xls"), MarkerOf("p-xls-large.xls", "workbook_utf16"), 5253120},
      {"PPT15.PPT", start("p-ppt-images.ppt"), MarkerOf("p-ppt-images.ppt", "powerpoint_document_utf16"),
       2090 * 512},
      {"DOC16.DOC", start("p-word-long.doc"), MarkerOf("p-word-long.doc", "word_document"), 10240},
  });
  const auto& files = wizard_.state.rawRecovery.report.files;
  ASSERT_EQ(files.size(), 16u);
  EXPECT_EQ(files[0].endSector, start("p-word-tiny.doc") - 1);
  EXPECT_EQ(files[10].endSector, MarkerOf("p-zip-deflated-b.zip", "zip_eocd"));
}

TEST_F(RawRecoveryOnFixtures, WritesOnlyCheckedKindsAndKeepsTheirSequenceNumbers) {
  Open("carve-mixed");
  ASSERT_TRUE(Carve(wizard_, {.destination = out_.Path(), .kinds = {RawFileKind::Excel}}));
  EXPECT_EQ(FolderNames(out_.Path()), (std::vector<std::string>{"XLS14.XLS", "XLS3.XLS", "XLS6.XLS"}));
  EXPECT_EQ(wizard_.state.rawRecovery.report.resultsRows,
            (std::vector<std::string>{"Total Excel File(s) Recovered :  3"}));
  EXPECT_EQ(wizard_.state.rawRecovery.report.carves, 16u);
}

TEST_F(RawRecoveryOnFixtures, WholeFilesAreEveryPlacedDocumentAndArchiveOfAnyVersion) {
  Open("carve-mixed");
  ASSERT_TRUE(Carve(wizard_, {.destination = out_.Path(), .exactSizes = true}));
  std::vector<std::string> names;
  for (const auto& file : wizard_.state.rawRecovery.report.files) {
    names.push_back(std::filesystem::path(file.path).filename());
    EXPECT_TRUE(file.sizedByStructure) << file.path;
  }
  int placed = 0;
  for (const auto& file : manifest_["files"]) {
    if (file["start_sector"].get<std::uint64_t>() == 0) continue;  // never carved
    ++placed;
    const auto original = ImageBytes(image_, file["start_offset"], file["length"]);
    const auto carved = std::find_if(names.begin(), names.end(), [&](const std::string& name) {
      return FileBytes(out_ / name) == original;
    });
    ASSERT_NE(carved, names.end()) << file["name"];
    EXPECT_TRUE(carved->ends_with(ExtensionOf(file["kind"]))) << *carved << " for " << file["name"];
  }
  EXPECT_EQ(placed, 19);
  EXPECT_EQ(names.size(), 19u);
}

}  // namespace
}  // namespace vantrel::test
