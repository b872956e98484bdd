#include "cli/CliSession.h"

#include <unistd.h>

#include <iostream>

#include "app/DestinationChecks.h"

namespace vantrel::cli {

CliSession::CliSession(const GlobalOptions& options)
    : answers_(std::make_unique<ConsoleAnswers>(options.answers, ::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO))),
      window_(std::make_unique<HeadlessWindow>(*answers_)),
      port_(window_.get()),
      recoveryLog_(options.recoveryLog),
      nameDecoder_(options.names),
      printsMessages_(!options.json) {
  if (printsMessages_) window_->PrintMessagesTo(&std::cout);
  if (::isatty(STDERR_FILENO)) window_->ShowProgressOn(&std::cerr);
  OpenedDisks opened = OpenDisksAndStacks(names_, info_, options.disks);
  problems_ = std::move(opened.problems);
  stackNotes_ = std::move(opened.stackNotes);
}

bool CliSession::CheckDestinationApart(int disk, const std::string& destination) const {
  const DiskEntry* entry = names_.Entry(static_cast<std::size_t>(disk));
  if (disk < 0 || entry == nullptr || !DestinationOnDisk(*entry, destination)) return true;
  std::cerr << "vantrel-cli: " << kDestinationOnSource << '\n';
  return false;
}

std::uint64_t CliSession::DiskSectors(int n) const {
  return info_.ReadNumber(diskinfo::kSizeKey, DiskNameTable::DiskName(static_cast<std::size_t>(n))) / kSectorSize;
}

bool CliSession::CheckDiskReadable(int disk) const {
  for (const auto& problem : problems_)
    if (problem.disk == disk) {
      std::cerr << "vantrel-cli: " << problem.text << '\n';
      return false;
    }
  if (disk < 0 || static_cast<std::size_t>(disk) >= names_.Count()) {
    std::cerr << "vantrel-cli: there is no Disk" << disk << " (" << names_.Count() << " disk(s) listed)\n";
    return false;
  }
  return true;
}

}  // namespace vantrel::cli
