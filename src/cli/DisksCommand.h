#pragma once
#include "cli/ConsoleCommand.h"

namespace vantrel::cli {

// "disks": lists the disks with their details rows; exits non-zero when one cannot be read.
// With --verify, a disk kept in a container that stores hashes (an E01) is read whole and
// its hashes checked; a mismatch or an unreadable part exits non-zero too.
class DisksCommand : public ConsoleCommand {
 public:
  CLI::App* AddTo(CLI::App& app) override;
  bool PrintsJson() const override { return json_; }
  int Run(CliSession& session, const GlobalOptions& global) override;

 private:
  bool json_ = false;
  bool verify_ = false;
};

}  // namespace vantrel::cli
