#pragma once
#include <string>

#include "cli/CliSession.h"

namespace vantrel::cli {

struct PartitionsOptions {
  int diskIndex = 0;
  std::string search = "quick";  // quick, advanced or more
  bool json = false;
};

// One partition search on one disk; prints the records and the messages shown.
int RunPartitionsCommand(CliSession& session, const PartitionsOptions& options);

}  // namespace vantrel::cli
