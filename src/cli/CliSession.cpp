#include "cli/CliSession.h"

#include <unistd.h>

#include <iostream>

namespace vantrel::cli {

BadSectorAnswer NoTerminalAnswers::AnswerBadSector() {
  if (!told_)
    std::cerr << "Bad Sector Encountered: no terminal to ask, answering Skip All "
                 "(choose with --bad-sectors retry|skip|retry-all|skip-all)\n";
  told_ = true;
  return BadSectorAnswer::SkipAll;
}

namespace {

std::unique_ptr<DialogAnswers> ChooseAnswers(const GlobalOptions& options) {
  if (options.badSectors) return std::make_unique<FixedAnswers>(false, *options.badSectors);
  if (::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO))
    return std::make_unique<TerminalAnswers>(std::cin, std::cerr);
  return std::make_unique<NoTerminalAnswers>();
}

}  // namespace

CliSession::CliSession(const GlobalOptions& options)
    : answers_(ChooseAnswers(options)),
      window_(std::make_unique<HeadlessWindow>(*answers_)),
      recoveryLog_(options.recoveryLog),
      printsMessages_(!options.json) {
  if (printsMessages_) window_->PrintMessagesTo(&std::cout);
  if (::isatty(STDERR_FILENO)) window_->ShowProgressOn(&std::cerr);
  state_.mainWindow = window_.get();
  problems_ = EnumerateDisks(state_, options.disks);
}

bool CliSession::CheckDiskReadable(int disk) const {
  for (const auto& problem : problems_)
    if (problem.disk == disk) {
      std::cerr << "vantrel-cli: " << problem.text << '\n';
      return false;
    }
  if (disk < 0 || static_cast<std::size_t>(disk) >= state_.diskNames.Count()) {
    std::cerr << "vantrel-cli: there is no Disk" << disk << " (" << state_.diskNames.Count()
              << " disk(s) listed)\n";
    return false;
  }
  return true;
}

}  // namespace vantrel::cli
