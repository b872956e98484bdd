#include "cli/LogCommand.h"

#include <iostream>

#include "cli/LogFileName.h"
#include "recovery/LoggedCatalogue.h"

namespace vantrel::cli {

CLI::App* LogSaveCommand::AddTo(CLI::App& app) {
  auto* log = app.add_subcommand("log", "Recovery logs");
  log->require_subcommand(1);
  AddExample(log, "vantrel-cli --disk disk.img log save case1");
  auto* save = log->add_subcommand("save", "Build the catalogue (options of ls) and keep it in a recovery log");
  AddCatalogueOptions(*save, options_.catalogue);
  save->add_option("FILE", options_.file, "The log, saved as named (\".SAV\" appended when it has no extension)")
      ->required();
  AddExample(save, "vantrel-cli --disk disk.img log save case1 --file-search advanced   (then: --log case1 ls)");
  return save;
}

int LogSaveCommand::Run(CliSession& session, const GlobalOptions& /*global*/) {
  if (const int failed = ObtainCatalogue(session, options_.catalogue); failed != kSuccess) return failed;
  const ChosenCatalogue& chosen = *session.Chosen();
  const std::string path = ConsoleRecoveryLogPath(options_.file);
  if (const StepResult saved = SaveLoggedCatalogue(path, chosen); !saved.Done()) return session.Report(saved);
  std::cout << "Recovery log written to " << path << " (" << chosen.catalogue.folderList.size() << " folders, "
            << chosen.catalogue.fileList.size() << " files)\n";
  return kSuccess;
}

}  // namespace vantrel::cli
