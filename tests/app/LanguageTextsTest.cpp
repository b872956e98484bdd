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
  EXPECT_EQ(texts.ModeDescription(RecoveryMode::RawRecovery), "Use this mode when above modes fails to recover files");
  texts.Parse("1\t" + std::string(400, 'x') + "\n");
  EXPECT_EQ(texts.ModeDescription(RecoveryMode::AdvancedSearch).size(), kMaxLanguageText);
  // A character of two bytes across the limit is left out whole.
  texts.Parse("1\t" + std::string(254, 'x') + "\xC3\xA9\n");
  EXPECT_EQ(texts.ModeDescription(RecoveryMode::AdvancedSearch), std::string(254, 'x'));
}

TEST(LanguageTexts, TheFourShippedFilesTranslateEveryMessage) {
  LanguageTexts english;
  english.Load(std::string(VANTREL_PROGRAM_DATA_DIR) + "/EnglishA.dat");
  for (const RecoveryMode mode : {RecoveryMode::QuickSearch, RecoveryMode::AdvancedSearch, RecoveryMode::RawRecovery})
    EXPECT_EQ(english.ModeDescription(mode), EnglishModeDescription(mode));
  for (const char* file : kLanguageFiles) {
    LanguageTexts texts;
    texts.Load(std::string(VANTREL_PROGRAM_DATA_DIR) + "/" + file);
    for (int number = 0; number <= 18; ++number) EXPECT_TRUE(texts.Message(number)) << file << " " << number;
    if (std::string(file) != kDefaultLanguageFile) {
      EXPECT_NE(texts.Message(0), english.Message(0)) << file;
      EXPECT_NE(texts.MenuPrompt("Quit from Vantrel\n"), "Quit from Vantrel\n") << file;
    }
  }
}

}  // namespace
}  // namespace vantrel::test
