#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/CliSession.h"

namespace vantrel::cli {

struct CarveOptions {
  int diskIndex = 0;
  std::string out;
  std::optional<std::uint64_t> start;
  std::optional<std::uint64_t> end;
  std::vector<std::string> types;  // doc, xls, ppt, zip; empty: all four
  bool exactSizes = false;
};

// Raw recovery of one disk (or a sector range of it) into a folder, as the raw recovery
// step runs it; prints the files written, the results rows and a summary. Ctrl-C stops
// the run as the Stop button does.
int RunCarveCommand(CliSession& session, const CarveOptions& options);

}  // namespace vantrel::cli
