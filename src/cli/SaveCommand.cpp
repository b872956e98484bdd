#include "cli/SaveCommand.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <sstream>

#include "app/SavingCommands.h"
#include "app/SavingProgress.h"
#include "app/SettingsDialog.h"
#include "reiserfs/catalogue/FolderLayout.h"
#include "saving/SafeName.h"

namespace vantrel::cli {

namespace {

// DD/MM/YYYY as the positions of the date lists: day - 1, month - 1, year - 1970.
std::optional<std::array<int, 3>> DatePositionsOf(const std::string& text, int lastYear) {
  int day = 0, month = 0, year = 0;
  char slash1 = 0, slash2 = 0;
  std::istringstream in(text);
  if (!(in >> day >> slash1 >> month >> slash2 >> year) || slash1 != '/' || slash2 != '/' || !in.eof()) return {};
  if (day < 1 || day > 31 || month < 1 || month > 12 || year < 1970 || year > lastYear) return {};
  return std::array<int, 3>{day - 1, month - 1, year - 1970};
}

bool ApplyOptions(CliSession& session, const SaveOptions& options, SavingOptions& saving) {
  SettingsDialog settings(saving, session.Window());
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

// The folders named (everything when none is), each with everything below it, and the
// folders above them, as checking them in the folder tree would save them.
std::optional<SaveSelection> SelectFolders(const Catalogue& catalogue, const std::vector<std::string>& folders) {
  const FolderLayout layout = LayOutFolders(catalogue.folderList);
  const FolderIndex index = IndexFolders(catalogue, layout);
  std::vector<bool> whole(catalogue.folderList.size()), above(catalogue.folderList.size());
  bool everything = folders.empty();
  for (const std::string& path : folders) {
    const auto folder = FolderAtPath(catalogue, layout, path);
    if (!folder) {
      std::cerr << "vantrel-cli: there is no folder " << path << " in the catalogue\n";
      return std::nullopt;
    }
    if (!*folder) {
      everything = true;
      continue;
    }
    whole[**folder] = true;
    for (std::size_t at = layout.placedUnder[**folder]; at != kTopLevel; at = layout.placedUnder[at]) above[at] = true;
  }
  SaveSelection selection;
  ++selection.folders;  // the root, whose own files go into the destination itself
  if (everything) {
    if (const auto root = index.find(kRootFolderId); root != index.end())
      for (const std::size_t file : root->second.files) selection.AddFile({}, file);
  }
  // Depth first in the tree's order: a folder above one named is made, with none of its files.
  struct Pending {
    std::size_t entry;
    std::filesystem::path parent;
  };
  std::vector<Pending> pending;
  for (auto it = layout.topLevel.rbegin(); it != layout.topLevel.rend(); ++it) pending.push_back({*it, {}});
  while (!pending.empty()) {
    const Pending at = pending.back();
    pending.pop_back();
    if (everything || whole[at.entry]) {
      selection.AddFolderWithEverythingBelow(catalogue, layout, index, at.entry, at.parent);
      continue;
    }
    if (!above[at.entry]) continue;
    const std::filesystem::path path = at.parent / HoldableName(catalogue.Name(catalogue.folderList[at.entry]));
    ++selection.folders;
    selection.AddFolder(path);
    const auto& children = layout.children[at.entry];
    for (auto it = children.rbegin(); it != children.rend(); ++it) pending.push_back({*it, path});
  }
  return selection;
}

void PrintSummary(const SavingRun& run, double seconds) {
  std::cout << "Saved " << run.filesWritten << " file(s) whole, " << run.bytesWritten << " bytes, in " << std::fixed
            << std::setprecision(2) << seconds << " s\n";
  if (run.filesKeptExisting > 0) std::cout << "Kept " << run.filesKeptExisting << " existing file(s)\n";
  if (run.filesFailed > 0) std::cout << "Could not write " << run.filesFailed << " file(s)\n";
  for (const auto& path : run.shortFiles) std::cout << "Cut short: " << path << '\n';
  for (const auto& path : run.damagedFiles) std::cout << "Damaged (unreadable blocks written as zeros): " << path << '\n';
  if (!run.renamedEntries.empty())
    std::cout << "Saved under another name (the destination cannot hold the name, or it was taken): "
              << run.renamedEntries.size() << '\n';
  for (const auto& renamed : run.renamedEntries)
    std::cout << "Renamed: " << renamed.savedPath << " (named \"" << renamed.nameOnDisk << "\" on the disk)\n";
}

}  // namespace

int RunSaveCommand(CliSession& session, const SaveOptions& options) {
  SavingOptions saving;
  if (!ApplyOptions(session, options, saving)) return kUsageError;
  saving.safeNames = options.safeNames;
  saving.nameEncoding = session.Names().Encoding();
  saving.convertNames = options.convertNames;
  // Refused before the catalogue is built, which can take long: nothing is read or written.
  if (!session.CheckDestinationApart(options.catalogue.diskIndex, options.out)) return kUsageError;
  if (const int failed = ObtainCatalogue(session, options.catalogue); failed != kSuccess) return failed;
  const ChosenCatalogue& chosen = *session.Chosen();
  const auto selection = SelectFolders(chosen.catalogue, options.folders);
  if (!selection) return kNotFound;

  HeadlessWindow& window = session.Window();
  SavingRun run;
  run.totalFiles = selection->FileCount();
  run.totalBytes = selection->ByteCount(chosen.catalogue);
  const auto start = std::chrono::steady_clock::now();
  CreateFolders(options.out);
  std::error_code error;
  if (!std::filesystem::is_directory(options.out, error)) {
    // Nothing can be saved: that is no success.
    window.SystemMessage(kTreeSaveInvalidPath, SystemIcon::Information);
    return kUsageError;
  }
  TimedSavePrompts prompts(window);
  WindowSaveProgress progress(window, prompts);
  SaveSelected({chosen.partition, chosen.source, options.out}, chosen.catalogue, *selection, saving, prompts, progress,
               run);
  window.FinishProgressLine();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  PrintSummary(run, seconds);
  if (run.filesFailed > 0 || !run.shortFiles.empty() || !run.damagedFiles.empty()) return kSomeFilesFailed;
  return kSuccess;
}

}  // namespace vantrel::cli
