#include "cli/TerminalQuestions.h"

#include <istream>
#include <ostream>

namespace vantrel::cli {

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

std::optional<BadSectorPolicy> ParseBadSectorPolicy(const std::string& text) {
  const std::string word = Lowered(Trimmed(text));
  if (word == "retry") return BadSectorPolicy::Retry;
  if (word == "skip") return BadSectorPolicy::Skip;
  if (word == "retry-all") return BadSectorPolicy::RetryAll;
  if (word == "skip-all") return BadSectorPolicy::SkipAll;
  return std::nullopt;
}

bool TerminalQuestions::AskYesNo(const std::string& question) {
  for (;;) {
    out_ << question << " [y/n] " << std::flush;
    std::string line;
    if (!std::getline(in_, line)) return false;  // closing the dialog counts as No
    const std::string word = Lowered(Trimmed(line));
    if (word == "y" || word == "yes") return true;
    if (word == "n" || word == "no") return false;
  }
}

BadSectorPolicy TerminalQuestions::AskBadSector(const BadSectorQuestion& question) {
  for (;;) {
    out_ << "Bad Sector Encountered: Encountered Bad Sector(s) while reading disk.\n"
         << BadSectorDetails(question) << "\n"
         << "  [r] Retry  [s] Skip  [R] Retry All  [S] Skip All (default: Retry) " << std::flush;
    std::string line;
    if (!std::getline(in_, line)) return BadSectorPolicy::Skip;  // closing means Skip
    const std::string word = Trimmed(line);
    if (word.empty() || word == "r") return BadSectorPolicy::Retry;
    if (word == "s") return BadSectorPolicy::Skip;
    if (word == "R") return BadSectorPolicy::RetryAll;
    if (word == "S") return BadSectorPolicy::SkipAll;
    if (const auto parsed = ParseBadSectorPolicy(word)) return *parsed;
  }
}

ReplaceAnswer TerminalQuestions::AskReplace(const std::string& path) {
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

WriteErrorAnswer TerminalQuestions::AskWriteError(const std::string& path) {
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

}  // namespace vantrel::cli
