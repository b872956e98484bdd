#pragma once
#include <string>

#include "cli/CatalogueSource.h"
#include "cli/CliSession.h"

namespace vantrel::cli {

struct LogSaveOptions {
  CatalogueOptions catalogue;
  std::string file;  // written as named, ".SAV" appended when it has no extension
};

// Obtains the catalogue as ls does and writes it to a recovery log.
int RunLogSaveCommand(CliSession& session, const LogSaveOptions& options);

}  // namespace vantrel::cli
