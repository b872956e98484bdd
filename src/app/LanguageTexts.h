#pragma once
// The language of balloon help: the four language files in the program folder, the
// descriptions of the three recovery modes and the menu prompts, English when a file or a
// text is missing.
//
// A language file is UTF-8 text. Each line "N<TAB>text" gives message N; "\n" in a text
// stands for a line break; lines starting with '#' and blank lines are ignored.

#include <array>
#include <map>
#include <optional>
#include <string>

#include "app/WizardModes.h"

namespace vantrel {

inline constexpr std::array<const char*, 4> kLanguageFiles{"EnglishA.dat", "FrenchA.dat", "DutchA.dat",
                                                          "GermanA.dat"};
inline constexpr const char* kDefaultLanguageFile = "EnglishA.dat";
// Texts are cut to what a 256-byte buffer holds.
inline constexpr std::size_t kMaxLanguageText = 255;

// The "LngFile" setting when it names one of the four files (compared without regard to
// case, kept as written), otherwise "EnglishA.dat".
std::string ChooseLanguageFile(const std::string& setting);
// The name of the file as it is stored in the program folder.
std::string LanguageFileOnDisk(const std::string& chosen);

// The English description of a recovery mode (empty for none).
std::string EnglishModeDescription(RecoveryMode mode);

class LanguageTexts {
 public:
  // Reads a language file; a missing or unreadable file leaves every text English.
  void Load(const std::string& path);
  // Takes messages from text in the file format (for tests and the built-in English).
  void Parse(const std::string& text);

  std::optional<std::string> Message(int number) const;
  std::string ModeDescription(RecoveryMode mode) const;
  // A menu command's balloon text: the message of the last selecting phrase found in the
  // English prompt, or the prompt itself when none occurs or the message is missing.
  std::string MenuPrompt(const std::string& englishPrompt) const;

 private:
  std::map<int, std::string> messages_;
};

}  // namespace vantrel
