#include "cli/SaveCommand.h"

#include <chrono>
#include <iomanip>
#include <iostream>
#include <sstream>

#include "app/FolderChecks.h"
#include "app/SavingCommands.h"
#include "app/SettingsDialog.h"

namespace vantrel::cli {

namespace {

// The folder tree item at a "/"-separated path of item texts below the root.
std::optional<TreeItemHandle> FindTreeItem(WindowPort& window, const std::string& path) {
  TreeItemHandle item = window.TreeRoot(TreeId::Folder);
  std::stringstream parts(path);
  for (std::string part; std::getline(parts, part, '/');) {
    if (part.empty()) continue;
    bool found = false;
    for (const TreeItemHandle child : window.TreeChildren(TreeId::Folder, item))
      if (window.TreeText(TreeId::Folder, child) == part) {
        item = child;
        found = true;
        break;
      }
    if (!found) return std::nullopt;
  }
  return item;
}

// DD/MM/YYYY as the positions of the date lists: day - 1, month - 1, year - 1970.
std::optional<std::array<int, 3>> DatePositionsOf(const std::string& text, int lastYear) {
  int day = 0, month = 0, year = 0;
  char slash1 = 0, slash2 = 0;
  std::istringstream in(text);
  if (!(in >> day >> slash1 >> month >> slash2 >> year) || slash1 != '/' || slash2 != '/' || !in.eof()) return {};
  if (day < 1 || day > 31 || month < 1 || month > 12 || year < 1970 || year > lastYear) return {};
  return std::array<int, 3>{day - 1, month - 1, year - 1970};
}

bool ApplyOptions(CliSession& session, const SaveOptions& options) {
  WizardState& state = session.State();
  SettingsDialog settings(state.savingOptions, session.Window());
  settings.SetDeletedFilter(options.deleted == "exclude" ? 1 : options.deleted == "only" ? 2 : 0);
  for (const std::string& extension : options.extensions)
    if (!settings.AddExtension(extension)) return false;  // the dialog's own message says why
  DatePositions positions{-1, -1, -1, -1, -1, -1};
  if (!options.before.empty()) {
    const auto before = DatePositionsOf(options.before, 2099);
    if (!before) {
      std::cerr << "vantrel-cli: --before wants a date DD/MM/YYYY from 1970 to 2099\n";
      return false;
    }
    std::copy(before->begin(), before->end(), positions.begin());
  }
  if (!options.after.empty()) {
    const auto after = DatePositionsOf(options.after, 2030);
    if (!after) {
      std::cerr << "vantrel-cli: --after wants a date DD/MM/YYYY from 1970 to 2030\n";
      return false;
    }
    std::copy(after->begin(), after->end(), positions.begin() + 3);
  }
  settings.Apply(positions);
  return true;
}

bool CheckFolders(CliSession& session, const std::vector<std::string>& folders) {
  WizardState& state = session.State();
  WindowPort& window = session.Window();
  if (folders.empty()) {
    ToggleCheck(state, window.TreeRoot(TreeId::Folder));
    return true;
  }
  for (const std::string& folder : folders) {
    const auto item = FindTreeItem(window, folder);
    if (!item) {
      std::cerr << "vantrel-cli: there is no folder " << folder << " in the catalogue\n";
      return false;
    }
    if (window.TreeCheck(TreeId::Folder, *item) != CheckState::Checked) {
      if (window.TreeCheck(TreeId::Folder, *item) == CheckState::PartlyChecked) ToggleCheck(state, *item);
      ToggleCheck(state, *item);
    }
  }
  return true;
}

void PrintSummary(const SavingRun& run, double seconds) {
  std::cout << "Saved " << run.filesWritten << " file(s) whole, " << run.bytesWritten << " bytes, in " << std::fixed
            << std::setprecision(2) << seconds << " s\n";
  if (run.filesKeptExisting > 0) std::cout << "Kept " << run.filesKeptExisting << " existing file(s)\n";
  if (run.filesFailed > 0) std::cout << "Could not write " << run.filesFailed << " file(s)\n";
  for (const auto& path : run.shortFiles) std::cout << "Cut short: " << path << '\n';
  for (const auto& path : run.damagedFiles) std::cout << "Damaged (unreadable blocks written as zeros): " << path << '\n';
}

}  // namespace

int RunSaveCommand(CliSession& session, const SaveOptions& options) {
  if (!ApplyOptions(session, options)) return kUsageError;
  if (const int failed = ObtainCatalogue(session, options.catalogue); failed != kSuccess) return failed;
  if (!CheckFolders(session, options.folders)) return kNotFound;

  WizardState& state = session.State();
  state.destinationPath = options.out;
  state.saveMode = 1;
  const auto start = std::chrono::steady_clock::now();
  RunSaving(state);
  session.Window().FinishProgressLine();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  const SavingRun& run = state.saving;
  PrintSummary(run, seconds);
  if (run.filesFailed > 0 || !run.shortFiles.empty() || !run.damagedFiles.empty()) return kSomeFilesFailed;
  return kSuccess;
}

}  // namespace vantrel::cli
