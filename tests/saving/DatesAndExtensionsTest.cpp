// The saving filters as the front ends fill them: dates typed as DD/MM/YYYY, and the
// extension list's refusals.

#include <gtest/gtest.h>

#include "saving/SavingOptions.h"

namespace vantrel::test {
namespace {

TEST(CalendarDates, OnlyWholeDatesInsideTheYearsAreTaken) {
  EXPECT_EQ(ParseCalendarDate("01/01/1970", kLastAfterYear), (CalendarDate{1, 1, 1970}));
  EXPECT_EQ(ParseCalendarDate("31/12/2030", kLastAfterYear), (CalendarDate{31, 12, 2030}));
  EXPECT_EQ(ParseCalendarDate("31/12/2099", kLastBeforeYear), (CalendarDate{31, 12, 2099}));
  EXPECT_EQ(ParseCalendarDate("1/2/2005", kLastBeforeYear), (CalendarDate{1, 2, 2005}));
  // The day lists hold 31 days for every month, as the Settings dialog's do.
  EXPECT_EQ(ParseCalendarDate("31/02/2005", kLastBeforeYear), (CalendarDate{31, 2, 2005}));
  for (const char* text : {"01/01/2031", "31/12/1969", "00/01/2000", "32/01/2000", "01/00/2000", "01/13/2000",
                           "01-01-2000", "01/01/2000x", "01/01/", "", "x"})
    EXPECT_EQ(ParseCalendarDate(text, kLastAfterYear), std::nullopt) << text;
  EXPECT_EQ(ParseCalendarDate("01/01/2100", kLastBeforeYear), std::nullopt);
  EXPECT_NE(ParseCalendarDate("01/01/2099", kLastBeforeYear), std::nullopt);
}

TEST(CalendarDates, TheDefaultRangeLetsEveryDatePass) {
  const SavingOptions options;
  EXPECT_EQ(options.modified.first, (CalendarDate{1, 1, 1970}));
  EXPECT_EQ(options.modified.last, (CalendarDate{31, 12, 2099}));
  EXPECT_TRUE(PassesDateWindow(options, 0));
  EXPECT_TRUE(PassesDateWindow(options, 2524608000u));  // 2050
}

TEST(ExtensionList, RefusalsComeInTheDialogsOrderAndTheNewestIsFirst) {
  SavingOptions options;
  EXPECT_TRUE(AddExtension(options, "doc").added);
  EXPECT_TRUE(AddExtension(options, "XLS").added);
  EXPECT_EQ(options.extensionList, (std::vector<std::string>{"XLS", "doc"}));
  EXPECT_STREQ(AddExtension(options, "abcde").refusal, kExtensionTooLong);
  EXPECT_STREQ(AddExtension(options, "a.*").refusal, kExtensionWithDot);  // the dot is named first
  EXPECT_STREQ(AddExtension(options, "a*").refusal, kExtensionWithStar);
  const ExtensionAdded again = AddExtension(options, "doc");
  EXPECT_STREQ(again.refusal, kExtensionExists);
  EXPECT_TRUE(again.plainRefusal);
  const ExtensionAdded empty = AddExtension(options, "");
  EXPECT_FALSE(empty.added);
  EXPECT_EQ(empty.refusal, nullptr);
  EXPECT_EQ(options.extensionList.size(), 2u);

  for (int i = 0; options.extensionList.size() < SavingOptions::kMaxExtensions; ++i)
    AddExtension(options, "e" + std::to_string(i));
  EXPECT_STREQ(AddExtension(options, "new").refusal, kTooManyExtensions);  // before any other test
  EXPECT_STREQ(AddExtension(options, "abcdef").refusal, kTooManyExtensions);
}

}  // namespace
}  // namespace vantrel::test
