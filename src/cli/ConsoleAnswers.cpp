#include "cli/ConsoleAnswers.h"

#include <iostream>

namespace vantrel::cli {

ConsoleAnswers::ConsoleAnswers(const PresetAnswers& preset, bool interactive) : preset_(preset) {
  if (interactive) terminal_.emplace(std::cin, std::cerr);
}

void ConsoleAnswers::TellOnce(bool& told, const std::string& text) {
  if (!told) std::cerr << text << '\n';
  told = true;
}

bool ConsoleAnswers::AnswerYesNo(const std::string& question) {
  return terminal_ ? terminal_->AnswerYesNo(question) : false;
}

BadSectorAnswer ConsoleAnswers::AnswerBadSector() {
  if (preset_.badSectors) return *preset_.badSectors;
  if (terminal_) return terminal_->AnswerBadSector();
  TellOnce(toldBadSectors_, "Bad Sector Encountered: no terminal to ask, answering Skip All "
                            "(choose with --bad-sectors retry|skip|retry-all|skip-all)");
  return BadSectorAnswer::SkipAll;
}

ReplaceAnswer ConsoleAnswers::AnswerReplace(const std::string& path) {
  if (preset_.replace) return *preset_.replace;
  if (terminal_) return terminal_->AnswerReplace(path);
  TellOnce(toldReplace_, "Replace File Confirmation: no terminal to ask, existing files are kept "
                         "(choose with --replace yes-to-all|no-to-all)");
  return ReplaceAnswer::NoToAll;
}

WriteErrorAnswer ConsoleAnswers::AnswerWriteError(const std::string& path) {
  if (terminal_) return terminal_->AnswerWriteError(path);
  return WriteErrorAnswer::Skip;
}

}  // namespace vantrel::cli
