#include "saving/SavingWalks.h"

#include "saving/DestinationNames.h"
#include "saving/FileSaver.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

// Tells the namer every name the run will write, so that a name that stands as it is keeps
// it whatever the order.
void ForeseeNames(DestinationNamer& namer, const Catalogue& catalogue, const SaveSelection& selection) {
  for (const bool kept : {false, true})
    for (const SaveStep& step : selection.steps) {
      const bool file = step.file != SaveStep::kNoFile && step.file < catalogue.fileList.size();
      if (!file && step.folder.empty()) continue;
      const fs::path folder = file ? step.folder : step.folder.parent_path();
      const std::string name = file ? std::string(catalogue.Name(catalogue.fileList[step.file]))
                                    : step.folder.filename().string();
      if (kept)
        namer.ForeseeKept(folder, name);
      else
        namer.ForeseeChanged(folder, name);
    }
}

// No folder between the destination and the one given is a symbolic link (one found in the
// destination, which would lead the files written there elsewhere).
bool NoLinkBelow(const fs::path& destination, const fs::path& folder) {
  fs::path at = destination;
  std::error_code error;
  for (const fs::path& part : folder.lexically_relative(destination)) {
    if (part == ".") continue;
    at /= part;
    if (fs::is_symlink(fs::symlink_status(at, error))) return false;
  }
  return true;
}

}  // namespace

void CreateFolders(const fs::path& path) {
  std::error_code ignored;
  fs::create_directories(path, ignored);
}

SaveReport SaveSelected(const SaveTarget& target, const Catalogue& catalogue, const SaveSelection& selection,
                        const SavingOptions& options, SavePrompts& prompts, SaveProgress& progress, SavingRun& run) {
  const StopToken stop(run.requests);
  const auto stopped = [stop] { return stop.Requested(); };
  run.saveStartTime = SecondsNow();
  run.foldersSaved = selection.folders;
  run.filesSaved = 0;
  DestinationNamer namer(target.destination, options.safeNames || DestinationNeedsSafeNames(target.destination),
                         options.convertNames ? ShownNames(options) : NameDecoder{});
  ForeseeNames(namer, catalogue, selection);
  FileSaver saver(target.partition, catalogue, target.source, options, prompts, progress, run);
  std::vector<std::pair<fs::path, std::size_t>> madeFolders;  // in the order made: parents first
  fs::path checked;
  bool checkedSafe = true;
  for (const SaveStep& step : selection.steps) {
    if (stopped()) break;
    const fs::path folder = namer.MakeFolder(step.folder);
    if (folder != checked) {
      checked = folder;
      checkedSafe = NoLinkBelow(target.destination, folder);
    }
    if (step.folderEntry < catalogue.folderList.size() && step.file == SaveStep::kNoFile)
      madeFolders.emplace_back(folder, step.folderEntry);
    if (step.file == SaveStep::kNoFile || step.file >= catalogue.fileList.size()) continue;
    if (checkedSafe)
      saver.SaveFile(namer, folder, catalogue.fileList[step.file]);
    else
      ++run.filesFailed;
  }
  saver.MakePendingLinks();
  // Each folder's times after the last entry written into it, its mode after its children.
  for (auto made = madeFolders.rbegin(); made != madeFolders.rend(); ++made)
    if (NoLinkBelow(target.destination, made->first)) saver.KeepFolder(made->first, catalogue.folderList[made->second]);
  run.renamedEntries = namer.Renamed();
  return {run.filesWritten, run.bytesWritten, run.filesKeptExisting, run.filesFailed,
          run.damagedFiles, run.shortFiles,   run.renamedEntries,    run.damageReasons};
}

}  // namespace vantrel
