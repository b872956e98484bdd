#include "cli/ConsolePrompts.h"

#include <iostream>

namespace vantrel::cli {

namespace {

// The question's details on the one line of a notice: their lines joined with ", ".
std::string OnOneLine(std::string text) {
  for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos;) text.replace(at, 1, ", ");
  return text;
}

}  // namespace

ConsolePrompts::ConsolePrompts(const PresetAnswers& preset, bool interactive, ProgressLine& line)
    : preset_(preset), line_(line) {
  if (interactive) terminal_.emplace(std::cin, std::cerr);
}

void ConsolePrompts::TellOnce(bool& told, const std::string& text) {
  if (!told) std::cerr << text << '\n';
  told = true;
}

BadSectorPolicy ConsolePrompts::AskBadSector(const BadSectorQuestion& question) {
  line_.Finish();
  if (preset_.badSectors) return *preset_.badSectors;
  if (terminal_) return terminal_->AskBadSector(question);
  TellOnce(toldBadSectors_,
           "Bad Sector Encountered: " + OnOneLine(BadSectorDetails(question)) +
               ": no terminal to ask, answering Skip All (choose with --bad-sectors retry|skip|retry-all|skip-all)");
  return BadSectorPolicy::SkipAll;
}

ReplaceAnswer ConsolePrompts::AskReplaceFile(const std::string& path) {
  line_.Finish();
  if (preset_.replace) return *preset_.replace;
  if (terminal_) return terminal_->AskReplace(path);
  TellOnce(toldReplace_,
           "Replace File Confirmation: no terminal to ask, existing files are kept "
           "(choose with --replace yes-to-all|no-to-all)");
  return ReplaceAnswer::NoToAll;
}

WriteErrorAnswer ConsolePrompts::AskWriteError(const std::string& path) {
  line_.Finish();
  if (terminal_) return terminal_->AskWriteError(path);
  return WriteErrorAnswer::Skip;
}

}  // namespace vantrel::cli
