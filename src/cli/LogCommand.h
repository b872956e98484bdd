#pragma once
#include <string>

#include "cli/CatalogueSource.h"
#include "cli/CliSession.h"

namespace vantrel::cli {

struct LogSaveOptions {
  CatalogueOptions catalogue;
  std::string file;  // named as Save Log names it: upper-cased, ".SAV" appended
};

// Obtains the catalogue as ls does and writes it to a recovery log.
int RunLogSaveCommand(CliSession& session, const LogSaveOptions& options);

}  // namespace vantrel::cli
