#pragma once
#include <string>
#include <vector>

#include "cli/CatalogueSource.h"
#include "cli/ConsoleCommand.h"

namespace vantrel::cli {

struct SaveOptions {
  CatalogueOptions catalogue;
  std::string out;                   // destination folder
  std::vector<std::string> folders;  // folder paths to check; empty: the whole root and "Lost"
  std::string deleted = "include";   // include, exclude or only
  std::vector<std::string> extensions;
  std::string after;          // DD/MM/YYYY
  std::string before;         // DD/MM/YYYY
  bool safeNames = false;     // safe names on every destination
  bool convertNames = false;  // names written decoded from --name-encoding
  std::string preserve;       // --preserve: what to keep beside the default
  std::string noPreserve;     // --no-preserve: what not to keep
};

// "save": builds the catalogue, saves the folders named (as the tree's check boxes would)
// into the destination and prints a summary.
class SaveCommand : public ConsoleCommand {
 public:
  CLI::App* AddTo(CLI::App& app) override;
  void PresetAnswersOf(PresetAnswers& answers) const override;
  int Run(CliSession& session, const GlobalOptions& global) override;

 private:
  SaveOptions options_;
  std::string replace_;
};

}  // namespace vantrel::cli
