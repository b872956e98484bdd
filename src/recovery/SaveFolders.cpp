#include "recovery/SaveFolders.h"

#include <chrono>
#include <filesystem>

#include "recovery/FolderSelection.h"
#include "saving/SavingWalks.h"

namespace vantrel {

SaveOutcome SaveFolders(const DiskChoice& disk, const SaveRequest& request, SaveWatchers watchers, SavePrompts& prompts,
                        SavingRun& run) {
  SaveOutcome outcome;
  // Refused before the catalogue is built, which can take long: nothing is read or written.
  outcome.result = CheckDiskAndDestination(disk, request.destination);
  if (!outcome.result.Done()) return outcome;
  std::optional<ChosenCatalogue> obtained;
  outcome.result = ObtainCatalogue(disk, request.catalogue, watchers.catalogue, obtained);
  if (!outcome.result.Done()) return outcome;
  const ChosenCatalogue& chosen = *obtained;
  // A catalogue that holds nothing but "Lost" found nothing to save: no partition there, or
  // one read with a geometry that does not fit it. That is no success.
  if (chosen.catalogue.fileList.size() == 0 && chosen.catalogue.folderList.size() <= 1) {
    outcome.result = {StepOutcome::NotFound, "No folder or file was found on the partition", {}};
    return outcome;
  }
  const auto selection = SelectFoldersAtPaths(chosen.catalogue, request.folders, outcome.result);
  if (!selection) return outcome;

  run.totalFiles = selection->FileCount();
  run.totalBytes = selection->ByteCount(chosen.catalogue);
  const auto start = std::chrono::steady_clock::now();
  CreateFolders(request.destination);
  std::error_code error;
  if (!std::filesystem::is_directory(request.destination, error)) {
    // Nothing can be saved: that is no success.
    watchers.catalogue.messages.Tell(kTreeSaveInvalidPath, MessageStyle::SystemInformation);
    outcome.result = {StepOutcome::Refused, {}, {}};
    return outcome;
  }
  SaveSelected({chosen.partition, chosen.source, request.destination}, chosen.catalogue, *selection, request.filters,
               prompts, watchers.saving, run);
  outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (run.filesFailed > 0 || !run.shortFiles.empty() || !run.damagedFiles.empty())
    outcome.result = {StepOutcome::FilesFailed, {}, {}};
  return outcome;
}

}  // namespace vantrel
