#include "app/LanguageTexts.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <utility>

namespace vantrel {

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The phrases of the English prompts that select messages 3 to 18; message 12 shares the
// phrase of 11 and, asked after it, gives the text shown.
constexpr std::pair<int, const char*> kSelectingPhrases[] = {
    {3, "Select all files"},
    {4, "Save files that have been"},
    {5, "Set the options for saving"},
    {6, "Save the recovery information"},
    {7, "Load the recovery information"},
    {8, "Quit from Vantrel"},
    {9, "Update Vantrel"},
    {10, "View the recovery details"},
    {11, "Print the recovery details"},
    {12, "Print the recovery details"},
    {13, "Delete all recovery logs"},
    {14, "View Directory Information"},
    {15, "Print Directory Information"},
    {16, "Online chat support \n(only for Korvane's Data Recovery Centers)"},
    {17, "Support through email"},
    {18, "About Vantrel"},
};

std::string Unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
      out += '\n';
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

std::string ChooseLanguageFile(const std::string& setting) {
  const std::string lower = Lower(setting);
  for (const char* name : kLanguageFiles)
    if (lower == Lower(name)) return setting;
  return kDefaultLanguageFile;
}

std::string LanguageFileOnDisk(const std::string& chosen) {
  const std::string lower = Lower(chosen);
  for (const char* name : kLanguageFiles)
    if (lower == Lower(name)) return name;
  return kDefaultLanguageFile;
}

std::string EnglishModeDescription(RecoveryMode mode) {
  switch (mode) {
    case RecoveryMode::QuickSearch: return "This mode quickly analyses the disk and displays the files.";
    case RecoveryMode::AdvancedSearch: return "Use this mode when Quick Search fails to recover files";
    case RecoveryMode::RawRecovery: return "Use this mode when above modes fails to recover files";
    case RecoveryMode::None: return {};
  }
  return {};
}

void LanguageTexts::Load(const std::string& path) {
  messages_.clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) return;
  std::ostringstream text;
  text << in.rdbuf();
  Parse(text.str());
}

void LanguageTexts::Parse(const std::string& text) {
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.front() == '#') continue;
    const auto tab = line.find('\t');
    if (tab == std::string::npos) continue;
    int number = -1;
    try {
      number = std::stoi(line.substr(0, tab));
    } catch (...) {
      continue;
    }
    std::string message = Unescape(line.substr(tab + 1));
    if (message.size() > kMaxLanguageText) {
      // Cut before the character that does not fit whole.
      std::size_t end = kMaxLanguageText;
      while (end > 0 && (static_cast<unsigned char>(message[end]) & 0xC0) == 0x80) --end;
      message.resize(end);
    }
    messages_[number] = std::move(message);
  }
}

std::optional<std::string> LanguageTexts::Message(int number) const {
  const auto found = messages_.find(number);
  if (found == messages_.end()) return std::nullopt;
  return found->second;
}

std::string LanguageTexts::ModeDescription(RecoveryMode mode) const {
  // A language file numbers the descriptions from 0 in the order of the modes.
  if (auto text = Message(static_cast<int>(mode) - 1)) return *text;
  return EnglishModeDescription(mode);
}

std::string LanguageTexts::MenuPrompt(const std::string& englishPrompt) const {
  std::optional<std::string> shown;
  for (const auto& [number, phrase] : kSelectingPhrases)
    if (englishPrompt.find(phrase) != std::string::npos)
      if (auto text = Message(number)) shown = std::move(text);
  return shown ? *shown : englishPrompt;
}

}  // namespace vantrel
