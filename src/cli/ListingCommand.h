#pragma once
#include <string>

#include "cli/CatalogueSource.h"
#include "cli/ConsoleCommand.h"

namespace vantrel::cli {

struct ListingOptions {
  CatalogueOptions catalogue;
  std::string out;  // the text listing (lines ended by CR LF) goes here; empty: printed
};

// "listing": obtains the catalogue as ls does and prints or writes the listing of its
// folder tree.
class ListingCommand : public ConsoleCommand {
 public:
  CLI::App* AddTo(CLI::App& app) override;
  int Run(CliSession& session, const GlobalOptions& global) override;

 private:
  ListingOptions options_;
};

}  // namespace vantrel::cli
