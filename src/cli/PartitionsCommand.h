#pragma once
#include <string>

#include "cli/CliSession.h"

namespace vantrel::cli {

struct PartitionsOptions {
  int diskIndex = 0;
  std::string search = "quick";  // quick, advanced or more
  bool json = false;
};

// Runs the partition search named quick, advanced or more on the current disk, into a
// fresh partition tree.
void RunPartitionSearch(WizardState& state, const std::string& search);

// One partition search on one disk; prints the records and the messages shown.
int RunPartitionsCommand(CliSession& session, const PartitionsOptions& options);

}  // namespace vantrel::cli
