#pragma once
#include <string>

#include "cli/CatalogueSource.h"
#include "cli/CliSession.h"

namespace vantrel::cli {

struct LsOptions {
  CatalogueOptions catalogue;
  bool recursive = false;
  bool json = false;
  std::string folder;                   // "/"-separated path from the root; empty for the root
};

// Builds the catalogue of one partition and prints a folder's rows (or, with json, the
// whole catalogue).
int RunLsCommand(CliSession& session, const LsOptions& options);

}  // namespace vantrel::cli
