#pragma once

#include <string>

#include "cli/CliSession.h"

namespace vantrel::cli {

struct PartitionsOptions {
  int diskIndex = 0;
  std::string search = "quick";  // quick, advanced or more
  bool json = false;
};

// Runs the partition search named quick, advanced or more on disk n, with its progress on
// the progress line and its messages shown.
PartitionSearchResult RunPartitionSearch(CliSession& session, int disk, const std::string& search);

// One partition search on one disk; prints the records and the messages shown.
int RunPartitionsCommand(CliSession& session, const PartitionsOptions& options);

}  // namespace vantrel::cli
