// Choosing the language file and the balloon texts taken from it.

#include "app/LanguageTexts.h"

#include <gtest/gtest.h>

namespace vantrel::test {
namespace {

TEST(LanguageTexts, SettingSelectsOneOfTheFourFilesOrEnglish) {
  EXPECT_EQ(ChooseLanguageFile("GERMANA.dat"), "GERMANA.dat");
  EXPECT_EQ(LanguageFileOnDisk("GERMANA.dat"), "GermanA.dat");
  EXPECT_EQ(ChooseLanguageFile("SpanishA.dat"), "EnglishA.dat");
  EXPECT_EQ(ChooseLanguageFile(""), "EnglishA.dat");
}

TEST(LanguageTexts, MenuPromptShowsTheLastMatchingMessageOrTheEnglishPrompt) {
  LanguageTexts texts;
  texts.Parse("10\tDetails bekijken\n11\tAfdrukken\n12\tDetails afdrukken\\nregel twee\n");
  EXPECT_EQ(texts.MenuPrompt("View the recovery details\n"), "Details bekijken");
  // Both 11 and 12 select "Print the recovery details"; 12 is asked last.
  EXPECT_EQ(texts.MenuPrompt("Print the recovery details\n"), "Details afdrukken\nregel twee");
  EXPECT_EQ(texts.MenuPrompt("View the recovery details and Print the recovery details"),
            "Details afdrukken\nregel twee");
  EXPECT_EQ(texts.MenuPrompt("Contents"), "Contents");
  EXPECT_EQ(texts.MenuPrompt("Update Vantrel\n"), "Update Vantrel\n");  // message 9 missing
}

TEST(LanguageTexts, MissingFileLeavesEnglishAndLongTextsAreCut) {
  LanguageTexts texts;
  texts.Load("/nonexistent/FrenchA.dat");
  EXPECT_EQ(texts.ModeDescription(3), "Use this mode when above modes fails to recover files");
  texts.Parse("1\t" + std::string(400, 'x') + "\n");
  EXPECT_EQ(texts.ModeDescription(2).size(), kMaxLanguageText);
}

}  // namespace
}  // namespace vantrel::test
