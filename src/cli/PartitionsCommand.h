#pragma once
#include <string>

#include "cli/ConsoleCommand.h"

namespace vantrel::cli {

struct PartitionsOptions {
  int diskIndex = 0;
  std::string search = "quick";  // quick, advanced or more
  bool json = false;
};

// "partitions": one partition search on one disk; prints the records and the messages
// shown.
class PartitionsCommand : public ConsoleCommand {
 public:
  CLI::App* AddTo(CLI::App& app) override;
  bool PrintsJson() const override { return options_.json; }
  int Run(CliSession& session, const GlobalOptions& global) override;

 private:
  PartitionsOptions options_;
};

}  // namespace vantrel::cli
