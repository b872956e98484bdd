#pragma once
#include <string>
#include <vector>

#include "cli/CatalogueSource.h"
#include "cli/CliSession.h"

namespace vantrel::cli {

struct SaveOptions {
  CatalogueOptions catalogue;
  std::string out;                   // destination folder
  std::vector<std::string> folders;  // folder paths to check; empty: the whole root and "Lost"
  std::string deleted = "include";   // include, exclude or only
  std::vector<std::string> extensions;
  std::string after;          // DD/MM/YYYY
  std::string before;         // DD/MM/YYYY
  bool safeNames = false;     // safe names on every destination
  bool convertNames = false;  // names written decoded from --name-encoding
};

// Builds the catalogue, checks the folders as the tree's check boxes would, saves them into
// the destination and prints a summary.
int RunSaveCommand(CliSession& session, const SaveOptions& options);

}  // namespace vantrel::cli
