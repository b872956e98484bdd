#include "recovery/SaveFolders.h"

#include <chrono>
#include <filesystem>

#include "recovery/FolderSelection.h"
#include "saving/FileSaver.h"
#include "saving/SafeName.h"
#include "saving/SavingWalks.h"

namespace vantrel {

SaveOutcome SaveSelectionOf(const DiskChoice& disk, const SaveSelectionRequest& request, RecoveryMessages& messages,
                            SaveProgress& progress, SavePrompts& prompts, SavingRun& run) {
  SaveOutcome outcome;
  // Not even a folder is made on the disk being recovered.
  outcome.result = CheckDiskAndDestination(disk, request.destination);
  if (!outcome.result.Done()) return outcome;
  const auto start = std::chrono::steady_clock::now();
  CreateFolders(request.destination);
  std::error_code error;
  if (!std::filesystem::is_directory(request.destination, error)) {
    // Nothing can be saved: that is no success.
    messages.Tell(request.invalidPathText, MessageStyle::SystemInformation);
    outcome.result = {StepOutcome::Refused, {}, {}};
    return outcome;
  }
  SaveSelected({request.partition, request.source, request.destination}, request.catalogue, request.selection,
               request.filters, prompts, progress, run);
  outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (run.filesFailed > 0 || !run.shortFiles.empty() || !run.damagedFiles.empty())
    outcome.result = {StepOutcome::FilesFailed, {}, {}};
  return outcome;
}

SaveOutcome SaveFolders(const DiskChoice& disk, const SaveRequest& request, SaveWatchers watchers, SavePrompts& prompts,
                        SavingRun& run) {
  SaveOutcome outcome;
  // Refused before the catalogue is built, which can take long: nothing is read or written.
  outcome.result = CheckDiskAndDestination(disk, request.destination);
  if (!outcome.result.Done()) return outcome;
  const auto obtained = ObtainCatalogue(disk, request.catalogue, watchers.catalogue);
  if (!obtained) return {StepResultOf(obtained.Failure())};
  const ChosenCatalogue& chosen = *obtained;
  // A catalogue that holds nothing but "Lost" found nothing to save: no partition there, or
  // one read with a geometry that does not fit it. That is no success.
  if (chosen.catalogue.fileList.size() == 0 && chosen.catalogue.folderList.size() <= 1) {
    outcome.result = {StepOutcome::NotFound, "No folder or file was found on the partition", {}};
    return outcome;
  }
  const auto selection = SelectFoldersAtPaths(chosen.catalogue, request.folders);
  if (!selection) return {StepResultOf(selection.Failure())};

  run.totalFiles = selection->FileCount();
  run.totalBytes = selection->ByteCount(chosen.catalogue);
  return SaveSelectionOf(disk,
                         {.catalogue = chosen.catalogue,
                          .partition = chosen.partition,
                          .source = chosen.source,
                          .selection = *selection,
                          .filters = request.filters,
                          .destination = request.destination},
                         watchers.catalogue.messages, watchers.saving, prompts, run);
}

std::optional<std::filesystem::path> WriteFileToOpen(const PartitionSource& partition, const Catalogue& catalogue,
                                                     BodySource source, const CatalogueEntry& file,
                                                     const std::filesystem::path& folder) {
  std::filesystem::path path = folder / SafeName(catalogue.Name(file));
  if (!WriteFileForViewing(partition, catalogue, source, file, path)) return std::nullopt;
  return path;
}

}  // namespace vantrel
