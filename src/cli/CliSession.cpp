#include "cli/CliSession.h"

#include <unistd.h>

#include <iostream>

namespace vantrel::cli {

CliSession::CliSession(const GlobalOptions& options)
    : answers_(std::make_unique<ConsoleAnswers>(options.answers, ::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO))),
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
