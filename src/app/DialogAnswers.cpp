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

ReplaceAnswer TerminalAnswers::AnswerReplace(const std::string& path) {
  for (;;) {
    out_ << "Replace File Confirmation: " << path
         << "\nThe File Already Exists. Do you want to replace the existing file.\n"
         << "  [y] Yes  [n] No  [Y] Yes to All  [N] No to All " << std::flush;
    std::string line;
    if (!std::getline(in_, line)) return ReplaceAnswer::No;
    const std::string word = Trimmed(line);
    if (word == "y") return ReplaceAnswer::Yes;
    if (word == "n") return ReplaceAnswer::No;
    if (word == "Y") return ReplaceAnswer::YesToAll;
    if (word == "N") return ReplaceAnswer::NoToAll;
  }
}

WriteErrorAnswer TerminalAnswers::AnswerWriteError(const std::string& path) {
  for (;;) {
    out_ << "Error Writing Destination: " << path << "\nError copying current file :\n"
         << "There may be bad sectors or error in file system or not enough space in destination.\n"
         << "  [a] Abort  [s] Skip " << std::flush;
    std::string line;
    if (!std::getline(in_, line)) return WriteErrorAnswer::Skip;
    const std::string word = Lowered(Trimmed(line));
    if (word == "a" || word == "abort") return WriteErrorAnswer::Abort;
    if (word == "s" || word == "skip") return WriteErrorAnswer::Skip;
  }
}

bool ScriptedAnswers::AnswerYesNo(const std::string& question) {
  questions_.push_back(question);
  return NextAnswer(yesNo_, false, unanswered_);
}

BadSectorAnswer ScriptedAnswers::AnswerBadSector() {
  ++badSectorPrompts_;
  return NextAnswer(badSector_, BadSectorAnswer::Skip, unanswered_);
}

ReplaceAnswer ScriptedAnswers::AnswerReplace(const std::string&) {
  ++replacePrompts_;
  return NextAnswer(replace_, ReplaceAnswer::No, unanswered_);
}

WriteErrorAnswer ScriptedAnswers::AnswerWriteError(const std::string&) {
  ++writeErrorPrompts_;
  return NextAnswer(writeError_, WriteErrorAnswer::Skip, unanswered_);
}

}  // namespace vantrel
