#include "app/DialogAnswers.h"

#include <istream>
#include <ostream>

namespace vantrel {

namespace {

std::string Lowered(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

}  // namespace

std::optional<BadSectorAnswer> ParseBadSectorAnswer(const std::string& text) {
  const std::string word = Lowered(Trimmed(text));
  if (word == "retry") return BadSectorAnswer::Retry;
  if (word == "skip") return BadSectorAnswer::Skip;
  if (word == "retry-all") return BadSectorAnswer::RetryAll;
  if (word == "skip-all") return BadSectorAnswer::SkipAll;
  return std::nullopt;
}

bool TerminalAnswers::AnswerYesNo(const std::string& question) {
  for (;;) {
    out_ << question << " [y/n] " << std::flush;
    std::string line;
    if (!std::getline(in_, line)) return false;  // closing the dialog counts as No
    const std::string word = Lowered(Trimmed(line));
    if (word == "y" || word == "yes") return true;
    if (word == "n" || word == "no") return false;
  }
}

BadSectorAnswer TerminalAnswers::AnswerBadSector() {
  for (;;) {
    out_ << "Bad Sector Encountered: Encountered Bad Sector(s) while reading disk.\n"
         << "  [r] Retry  [s] Skip  [R] Retry All  [S] Skip All (default: Retry) " << std::flush;
    std::string line;
    if (!std::getline(in_, line)) return BadSectorAnswer::Skip;  // closing means Skip
    const std::string word = Trimmed(line);
    if (word.empty() || word == "r") return BadSectorAnswer::Retry;
    if (word == "s") return BadSectorAnswer::Skip;
    if (word == "R") return BadSectorAnswer::RetryAll;
    if (word == "S") return BadSectorAnswer::SkipAll;
    if (const auto parsed = ParseBadSectorAnswer(word)) return *parsed;
  }
}

bool ScriptedAnswers::AnswerYesNo(const std::string& question) {
  questions_.push_back(question);
  if (yesNo_.empty()) {
    ++unanswered_;
    return false;
  }
  const bool yes = yesNo_.front();
  yesNo_.pop_front();
  return yes;
}

BadSectorAnswer ScriptedAnswers::AnswerBadSector() {
  ++badSectorPrompts_;
  if (badSector_.empty()) {
    ++unanswered_;
    return BadSectorAnswer::Skip;
  }
  const BadSectorAnswer answer = badSector_.front();
  badSector_.pop_front();
  return answer;
}

}  // namespace vantrel
