#include "cli/LogCommand.h"

#include <iostream>

#include "cli/LogFileName.h"
#include "logs/RecoveryLogFile.h"
#include "logs/RecoveryLogFormat.h"

namespace vantrel::cli {

int RunLogSaveCommand(CliSession& session, const LogSaveOptions& options) {
  if (const int failed = ObtainCatalogue(session, options.catalogue); failed != kSuccess) return failed;
  const ChosenCatalogue& chosen = *session.Chosen();
  const std::string path = ConsoleRecoveryLogPath(options.file);
  const RecoveryLogHead head{.diskModel = chosen.diskModel,
                             .recoveryMode = chosen.recoveryMode,
                             .fileSearchType = chosen.fileSearchType,
                             .diskIndex = static_cast<std::uint8_t>(chosen.diskIndex),
                             .selected = {chosen.selectedSize, chosen.partition.startSector}};
  std::vector<LoggedPartition> partitions;
  for (const PartitionRecord& record : chosen.partitions) partitions.push_back({record.size, record.start});
  const auto write = [&](std::ostream& out) { return WriteRecoveryLog(out, head, partitions, chosen.catalogue); };
  if (WriteRecoveryLogFile(path, write) != LogWriteResult::Written) {
    std::cerr << "vantrel-cli: no recovery log was written to " << path << '\n';
    return kLogRefused;
  }
  std::cout << "Recovery log written to " << path << " (" << chosen.catalogue.folderList.size() << " folders, "
            << chosen.catalogue.fileList.size() << " files)\n";
  return kSuccess;
}

}  // namespace vantrel::cli
