// The saving options' tests and the "Settings" dialog's editing rules.

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "app/SettingsDialog.h"
#include "support/TestWizard.h"

namespace vantrel::test {
namespace {

std::uint32_t UtcTime(int year, int month, int day, int hour = 12) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  return static_cast<std::uint32_t>(::timegm(&tm));
}

class InUtc : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
  }
};

TEST_F(InUtc, DateWindowCountsThirtyDayMonthsAndSwitchesOffWhenReversed) {
  SavingOptions options;
  options.modified.first = {31, 1, 2006};
  options.modified.last = {1, 2, 2006};  // the same day number as 31/01/2006
  EXPECT_TRUE(PassesDateWindow(options, UtcTime(2006, 1, 31)));
  EXPECT_TRUE(PassesDateWindow(options, UtcTime(2006, 2, 1)));
  EXPECT_FALSE(PassesDateWindow(options, UtcTime(2006, 1, 30)));
  EXPECT_FALSE(PassesDateWindow(options, UtcTime(2006, 2, 2)));
  EXPECT_FALSE(PassesDateWindow(options, UtcTime(2007, 1, 1)));

  options.modified.last = {1, 1, 2005};  // Earlier before After: no date test at all
  EXPECT_TRUE(PassesDateWindow(options, UtcTime(1999, 1, 1)));
  EXPECT_TRUE(PassesDateWindow(SavingOptions{}, 0));
  EXPECT_TRUE(PassesDateWindow(SavingOptions{}, UtcTime(2099, 12, 31)));
}

TEST(SavingOptionTests, ScopeDeletedFlagAndExtensions) {
  SavingOptions options;
  EXPECT_TRUE(PassesScope(options, true));
  EXPECT_FALSE(PassesScope(options, false));
  options.saveScope = SaveScope::RowsNotSelected;
  EXPECT_TRUE(PassesScope(options, false));
  EXPECT_FALSE(PassesScope(options, true));
  options.saveScope = SaveScope::AllRows;
  EXPECT_TRUE(PassesScope(options, false));

  EXPECT_TRUE(PassesDeletedFilter(options, true));
  options.deletedFilter = DeletedFilter::Exclude;
  EXPECT_FALSE(PassesDeletedFilter(options, true));
  options.deletedFilter = DeletedFilter::Only;
  EXPECT_FALSE(PassesDeletedFilter(options, false));

  EXPECT_TRUE(PassesExtensions(options, "anything"));
  options.extensionList = {"gz", "DOC"};
  EXPECT_TRUE(PassesExtensions(options, "a.doc"));
  EXPECT_TRUE(PassesExtensions(options, "B.DOC"));
  EXPECT_TRUE(PassesExtensions(options, "archive.tar.gz"));
  EXPECT_FALSE(PassesExtensions(options, "archive.tar"));
  options.extensionList = {"txt"};
  EXPECT_FALSE(PassesExtensions(options, "README"));
  options.extensionList = {"README"};
  EXPECT_TRUE(PassesExtensions(options, "readme"));  // no dot: the whole name
}

class SettingsDialogTest : public ::testing::Test {
 protected:
  std::vector<std::string> Messages() { return wizard_.window.MessageTexts(); }
  TestWizard wizard_;
  SavingOptions options_;
};

TEST_F(SettingsDialogTest, AddChecksCountLengthDotStarAndDuplicatesInThatOrder) {
  SettingsDialog dialog(options_, wizard_.window);
  EXPECT_FALSE(dialog.RemoveEnabled());
  EXPECT_TRUE(dialog.AddExtension("docx"));
  EXPECT_TRUE(dialog.AddExtension("tmp"));
  EXPECT_TRUE(dialog.RemoveEnabled());
  EXPECT_FALSE(dialog.AddExtension("html5"));
  EXPECT_FALSE(dialog.AddExtension(".doc"));
  EXPECT_FALSE(dialog.AddExtension("*.d"));
  EXPECT_FALSE(dialog.AddExtension("*d"));
  EXPECT_FALSE(dialog.AddExtension(""));
  EXPECT_FALSE(dialog.AddExtension("tmp"));
  EXPECT_TRUE(dialog.AddExtension("TMP"));  // the duplicate test minds case
  EXPECT_EQ(Messages(), (std::vector<std::string>{kExtensionTooLong, kExtensionWithDot, kExtensionWithDot,
                                                  kExtensionWithStar, kExtensionExists}));
  EXPECT_EQ(wizard_.window.Messages()[4].kind, ShownMessage::Kind::SystemPlain);
  EXPECT_EQ(options_.extensionList, (std::vector<std::string>{"TMP", "tmp", "docx"}));  // newest first

  for (int i = 0; options_.extensionList.size() < 100; ++i) dialog.AddExtension("e" + std::to_string(i));
  EXPECT_FALSE(dialog.AddExtension("more"));
  EXPECT_EQ(Messages().back(), kTooManyExtensions);
}

TEST_F(SettingsDialogTest, RemoveTakesOutTheSelectedRowAndSelectsTheFirst) {
  options_.extensionList = {"a", "b", "c"};
  SettingsDialog dialog(options_, wizard_.window);
  EXPECT_EQ(dialog.RemoveExtension(-1), 0);  // nothing selected: nothing taken out
  EXPECT_EQ(options_.extensionList.size(), 3u);
  EXPECT_EQ(dialog.RemoveExtension(1), 0);
  EXPECT_EQ(options_.extensionList, (std::vector<std::string>{"a", "c"}));
  dialog.RemoveExtension(0);
  EXPECT_EQ(dialog.RemoveExtension(0), -1);
  EXPECT_EQ(dialog.RemoveExtension(0), -1);
  EXPECT_FALSE(dialog.RemoveEnabled());
}

TEST_F(SettingsDialogTest, ApplyReadsTheDateListsAndCancelRestoresEverything) {
  {
    SettingsDialog dialog(options_, wizard_.window);
    dialog.SetDeletedFilter(DeletedFilter::Only);
    dialog.AddExtension("doc");
    dialog.Apply({0, 1, 36, 30, 0, 36});  // Earlier 01/02/2006, After 31/01/2006
  }
  EXPECT_EQ(options_.modified.last, (CalendarDate{1, 2, 2006}));
  EXPECT_EQ(options_.modified.first, (CalendarDate{31, 1, 2006}));
  const SavingOptions applied = options_;

  SettingsDialog dialog(options_, wizard_.window);
  dialog.SetDeletedFilter(DeletedFilter::Include);
  dialog.SetSaveScope(SaveScope::RowsNotSelected);
  dialog.AddExtension("xls");
  dialog.RemoveExtension(1);
  dialog.Cancel();
  EXPECT_EQ(options_, applied);

  SettingsDialog again(options_, wizard_.window);
  again.Apply({-1, -1, -1, -1, -1, -1});  // lists without a selection keep their dates
  EXPECT_EQ(options_.modified.last, (CalendarDate{1, 2, 2006}));
}

TEST_F(SettingsDialogTest, NamesSettingsPickACharacterSetEveryOneOfWhichIconvKnows) {
  SettingsDialog dialog(options_, wizard_.window);
  EXPECT_EQ(dialog.NameEncodingPosition(), 0);
  dialog.SetNameEncoding(6);
  dialog.SetSafeNames(true);
  EXPECT_EQ(options_.nameEncoding, "EUC-JP");
  EXPECT_TRUE(options_.safeNames);
  EXPECT_EQ(dialog.NameEncodingPosition(), 6);
  EXPECT_EQ(ShownNames(options_).Decode("\xc6\xfc"), "\xe6\x97\xa5");
  dialog.SetNameEncoding(99);
  EXPECT_EQ(options_.nameEncoding, "");
  EXPECT_FALSE(ShownNames(options_).Converts());
  dialog.Cancel();
  EXPECT_FALSE(options_.safeNames);
  for (const char* encoding : kNameEncodings) EXPECT_TRUE(NameDecoder::For(encoding)) << encoding;
}

TEST_F(SettingsDialogTest, ZeroDatesTakeTheirDefaultsWhenTheDialogOpens) {
  options_.modified.last = {0, 0, 0};
  options_.modified.first = {0, 3, 0};
  SettingsDialog dialog(options_, wizard_.window);
  EXPECT_EQ(options_.modified.last, (CalendarDate{31, 12, 2099}));
  EXPECT_EQ(options_.modified.first, (CalendarDate{1, 3, 1970}));
}

}  // namespace
}  // namespace vantrel::test
