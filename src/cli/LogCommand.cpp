#include "cli/LogCommand.h"

#include <iostream>

#include "app/RecoveryLogCommands.h"

namespace vantrel::cli {

int RunLogSaveCommand(CliSession& session, const LogSaveOptions& options) {
  if (const int failed = ObtainCatalogue(session, options.catalogue); failed != kSuccess) return failed;
  session.Window().AnswerFileDialogsWith(options.file);
  const auto written = SaveRecoveryLog(session.State());
  if (!written) {
    std::cerr << "vantrel-cli: no recovery log was written to " << RecoveryLogPath(options.file) << '\n';
    return kLogRefused;
  }
  const Catalogue& catalogue = session.State().catalogue;
  std::cout << "Recovery log written to " << *written << " (" << catalogue.folderList.size() << " folders, "
            << catalogue.fileList.size() << " files)\n";
  return kSuccess;
}

}  // namespace vantrel::cli
