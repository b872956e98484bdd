#include "saving/SavingWalks.h"

#include "saving/DestinationNames.h"
#include "saving/FileSaver.h"

namespace vantrel {

namespace fs = std::filesystem;

void CreateFolders(const fs::path& path) {
  std::error_code ignored;
  fs::create_directories(path, ignored);
}

SaveReport SaveSelected(const SaveTarget& target, const Catalogue& catalogue, const SaveSelection& selection,
                        const SavingOptions& options, SavePrompts& prompts, SaveProgress& progress, SavingRun& run) {
  const auto stopped = [&run] { return run.saveStopRequested != 0 || run.abandonRequested != 0; };
  run.saveStartTime = SecondsNow();
  run.foldersSaved = selection.folders;
  run.filesSaved = 0;
  DestinationNamer namer(target.destination, options.safeNames || DestinationNeedsSafeNames(target.destination),
                         options.convertNames ? ShownNames(options) : NameDecoder{});
  FileSaver saver(target.partition, catalogue, target.source, options, prompts, progress, run);
  for (const SaveStep& step : selection.steps) {
    if (stopped()) break;
    const fs::path folder = namer.MakeFolder(step.folder);
    if (step.file != SaveStep::kNoFile && step.file < catalogue.fileList.size())
      saver.SaveFile(namer, folder, catalogue.fileList[step.file]);
  }
  run.renamedEntries = namer.Renamed();
  return {run.filesWritten,  run.bytesWritten, run.filesKeptExisting,  run.filesFailed,
          run.damagedFiles,  run.shortFiles,   run.renamedEntries};
}

}  // namespace vantrel
