#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "cli/CliSession.h"

namespace vantrel::cli {

struct LsOptions {
  int diskIndex = 0;
  std::uint32_t partition = 0;          // record of the partition search
  std::string search = "quick";         // partition search: quick, advanced or more
  std::optional<std::uint64_t> start;   // the partition at this sector instead of a search
  std::string fileSearch = "quick";     // catalogue build: quick or advanced
  bool recursive = false;
  bool json = false;
  std::string folder;                   // "/"-separated path from the root; empty for the root
};

// Builds the catalogue of one partition and prints a folder's rows (or, with json, the
// whole catalogue).
int RunLsCommand(CliSession& session, const LsOptions& options);

}  // namespace vantrel::cli
