#include "cli/LogCommand.h"

#include <iostream>

#include "cli/LogFileName.h"
#include "app/RecoveryLogCommands.h"

namespace vantrel::cli {

int RunLogSaveCommand(CliSession& session, const LogSaveOptions& options) {
  if (const int failed = ObtainCatalogue(session, options.catalogue); failed != kSuccess) return failed;
  const std::string path = ConsoleRecoveryLogPath(options.file);
  const auto written = WriteRecoveryLog(session.State(), path);
  if (!written) {
    std::cerr << "vantrel-cli: no recovery log was written to " << path << '\n';
    return kLogRefused;
  }
  const Catalogue& catalogue = session.State().catalogue;
  std::cout << "Recovery log written to " << *written << " (" << catalogue.folderList.size() << " folders, "
            << catalogue.fileList.size() << " files)\n";
  return kSuccess;
}

}  // namespace vantrel::cli
