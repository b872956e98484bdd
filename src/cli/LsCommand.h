#pragma once
#include <string>

#include "cli/CatalogueSource.h"
#include "cli/ConsoleCommand.h"

namespace vantrel::cli {

struct LsOptions {
  CatalogueOptions catalogue;
  bool recursive = false;
  bool json = false;
  std::string folder;  // "/"-separated path from the root; empty for the root
};

// "ls": builds the catalogue of one partition and prints a folder's rows (or, with json,
// the whole catalogue).
class LsCommand : public ConsoleCommand {
 public:
  CLI::App* AddTo(CLI::App& app) override;
  bool PrintsJson() const override { return options_.json; }
  int Run(CliSession& session, const GlobalOptions& global) override;

 private:
  LsOptions options_;
};

}  // namespace vantrel::cli
