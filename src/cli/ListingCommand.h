#pragma once
#include <string>

#include "cli/CatalogueSource.h"
#include "cli/CliSession.h"

namespace vantrel::cli {

struct ListingOptions {
  CatalogueOptions catalogue;
  std::string out;  // the text listing (lines ended by CR LF) goes here; empty: printed
};

// Obtains the catalogue as ls does and prints or writes the directory listing of its
// folder tree.
int RunListingCommand(CliSession& session, const ListingOptions& options);

}  // namespace vantrel::cli
