// The directory listing from the folder tree, and its printed page layout.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/DirectoryListing.h"
#include "logs/ListingPageLayout.h"
#include "support/TempDir.h"
#include "support/TestWizard.h"

namespace vantrel::test {
namespace {

class DirectoryListingTest : public ::testing::Test {
 protected:
  TreeItemHandle Add(TreeItemHandle parent, const std::string& text) {
    return wizard_.window.TreeInsert(TreeId::Folder, parent, text, 0, 0);
  }
  std::string Listing() {
    std::ostringstream out;
    WriteListing(wizard_.window, root_, "|", out);
    return out.str();
  }
  TestWizard wizard_;
  TreeItemHandle root_ = wizard_.window.TreeReset(TreeId::Folder, "Root");
};

TEST_F(DirectoryListingTest, ListsEveryFolderDepthFirstWithItsParentsPath) {
  const auto docs = Add(root_, "docs");
  const auto year = Add(docs, "2006");
  Add(year, "x");
  Add(docs, "2007");
  Add(root_, "music");
  EXPECT_EQ(Listing(), "Root-> docs|docs-> 2006|docs\\2006-> x|docs-> 2007|Root-> music|");
}

TEST_F(DirectoryListingTest, TrailingBackslashIsNotDoubledAndPartitionPathsBecomeRootDirectory) {
  const auto odd = Add(root_, "odd\\");
  const auto inner = Add(odd, "inner");
  Add(inner, "leaf");
  const auto partitions = Add(root_, "Partitions");
  Add(partitions, "p1");
  EXPECT_EQ(Listing(), "Root-> odd\\|odd\\-> inner|odd\\inner-> leaf|Root-> Partitions|Root Directory -> p1|");
}

TEST_F(DirectoryListingTest, RootWithoutSubfoldersGivesAnEmptyListing) { EXPECT_EQ(Listing(), ""); }

TEST_F(DirectoryListingTest, ViewWritesTheTextFormAndOpensItOnlyWithACatalogueShown) {
  TempDir temp;
  wizard_.state.files.tempFolder = temp.Path().string();
  Add(Add(root_, "docs"), "2006");
  wizard_.state.stage = WizardStage::Partitions;
  EXPECT_FALSE(ViewListing(wizard_.state));
  EXPECT_EQ(wizard_.window.MessageTexts(), std::vector<std::string>{kListingNeedsCatalogue});

  wizard_.state.stage = WizardStage::Catalogue;
  ASSERT_TRUE(ViewListing(wizard_.state));
  ASSERT_EQ(wizard_.window.OpenedDocuments(), std::vector<std::string>{ListingTextPath(wizard_.state)});
  std::ifstream in(ListingTextPath(wizard_.state), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "Root-> docs\r\ndocs-> 2006\r\n");

  ASSERT_TRUE(WriteListingFile(wizard_.state, ListingPrintPath(wizard_.state), kPrintSeparator));
  std::ifstream print(ListingPrintPath(wizard_.state), std::ios::binary);
  const std::string printed(std::istreambuf_iterator<char>(print), {});
  EXPECT_EQ(printed, "Root-> docs\xE6" "docs-> 2006\xE6");
  EXPECT_EQ(SplitPrintListing(printed), (std::vector<std::string>{"Root-> docs", "docs-> 2006"}));
}

TEST_F(DirectoryListingTest, APlantedLinkAtTheOldNameIsLeftAloneAndTheListingStillWorks) {
  TempDir temp;
  wizard_.state.files.tempFolder = temp.Path().string();
  const std::filesystem::path victim = temp / "victim";
  std::ofstream(victim) << "keep";
  for (const char* name : {"TreeStructView.txt", "TreeStructPrint.dat"})
    std::filesystem::create_symlink(victim, temp / name);
  Add(root_, "docs");
  wizard_.state.stage = WizardStage::Catalogue;
  ASSERT_TRUE(ViewListing(wizard_.state));
  ASSERT_TRUE(WriteListingFile(wizard_.state, ListingPrintPath(wizard_.state), kPrintSeparator));

  std::ifstream kept(victim);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "keep");
  EXPECT_TRUE(std::filesystem::is_symlink(temp / "TreeStructView.txt"));
  const std::filesystem::path text = ListingTextPath(wizard_.state);
  EXPECT_EQ(text.parent_path().parent_path(), temp.Path());
  EXPECT_EQ(std::filesystem::status(text.parent_path()).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_all);
  std::ifstream in(text, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "Root-> docs\r\n");

  // A link in the listing's own place is replaced, not followed.
  std::filesystem::remove(text);
  std::filesystem::create_symlink(victim, text);
  ASSERT_TRUE(ViewListing(wizard_.state));
  EXPECT_FALSE(std::filesystem::is_symlink(text));
  std::ifstream stillKept(victim);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(stillKept), {}), "keep");
}

TEST(ListingPageLayout, FiftyLinesAPageGiveThreeNumberedPagesFor120Lines) {
  PrinterMetrics metrics;
  metrics.dotsPerInchX = 600;
  metrics.dotsPerInchY = 600;
  metrics.pageWidth = 4800;
  metrics.pageHeight = 5550;  // lines at 300, 400, ... 5200: fifty of them
  metrics.lineAdvance = 100;
  std::vector<std::string> lines;
  for (int i = 0; i < 120; ++i) lines.push_back("line " + std::to_string(i));
  const auto pages = LayOutListing(lines, metrics);
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(pages[0].lines.size(), 50u);
  EXPECT_EQ(pages[2].lines.size(), 20u);
  EXPECT_EQ(pages[2].lines.back().text, "line 119");  // the last line is printed
  EXPECT_EQ(pages[1].lines.front().y, 300);
  EXPECT_EQ(pages[2].pageLabel.text, "3");
  EXPECT_EQ(pages[0].title.text, "Vantrel Log");
  EXPECT_EQ(pages[0].title.y, 150);
  EXPECT_EQ(pages[0].ruleY, 250);
  EXPECT_EQ(pages[0].ruleRight, 4500);
  EXPECT_EQ(pages[0].penWidth, 6);
  EXPECT_TRUE(LayOutListing({}, metrics).empty());
  EXPECT_EQ(SplitPrintListing("a\xE6" "b"), (std::vector<std::string>{"a", "b"}));
}

}  // namespace
}  // namespace vantrel::test
