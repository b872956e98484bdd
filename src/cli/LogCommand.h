#pragma once
#include <string>

#include "cli/CatalogueSource.h"
#include "cli/ConsoleCommand.h"

namespace vantrel::cli {

struct LogSaveOptions {
  CatalogueOptions catalogue;
  std::string file;  // written as named, ".SAV" appended when it has no extension
};

// "log save": obtains the catalogue as ls does and writes it to a recovery log.
class LogSaveCommand : public ConsoleCommand {
 public:
  // Adds the "log" group with its "save" command.
  CLI::App* AddTo(CLI::App& app) override;
  int Run(CliSession& session, const GlobalOptions& global) override;

 private:
  LogSaveOptions options_;
};

}  // namespace vantrel::cli
