#include "saving/FileSaver.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "base/RemoveOnUnwind.h"
#include "disk/BadSectorPrompt.h"
#include "saving/FileBodyWriter.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

const char* DamageReason(const BodyWriteResult& result) {
  return result.misplaced != MisplacedBlock::None ? MisplacedBlockReason(result.misplaced)
                                                  : "unreadable blocks written as zeros";
}

// A link at the path is replaced rather than followed, so that saving never writes
// through it to some other place.
int CreateForWriting(const fs::path& path) {
  std::error_code error;
  if (fs::is_symlink(fs::symlink_status(path, error))) fs::remove(path, error);
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
}

// A new file at the path; fails with EEXIST when anything, a link included, is there.
int CreateNew(const fs::path& path) {
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
}

// The recovered file keeps the modification time it had on the disk.
void StampTime(int fd, std::uint32_t modificationTime) {
  const timespec times[2] = {{static_cast<time_t>(modificationTime), 0}, {static_cast<time_t>(modificationTime), 0}};
  ::futimens(fd, times);
}

}  // namespace

std::int64_t SecondsNow() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

FileSaver::FileSaver(const PartitionSource& partition, const Catalogue& catalogue, BodySource source,
                     const SavingOptions& options, SavePrompts& prompts, SaveProgress& progress, SavingRun& run)
    : catalogue_(catalogue),
      bodies_(partition, catalogue, source),
      writer_(bodies_.Blocks()),
      options_(options),
      prompts_(prompts),
      progress_(progress),
      run_(run) {}

bool FileSaver::MayReplace(const fs::path& path) {
  std::error_code error;
  if (!fs::exists(fs::symlink_status(path, error))) return true;
  SavingRun& run = run_;
  if (run.replaceChoice == ReplaceAnswer::NoToAll) return false;
  if (run.replaceChoice == ReplaceAnswer::YesToAll) return true;
  run.replaceChoice = prompts_.AskReplaceFile(path.string());
  return run.replaceChoice == ReplaceAnswer::Yes || run.replaceChoice == ReplaceAnswer::YesToAll;
}

void FileSaver::ReportWriteError(const fs::path& path) {
  SavingRun& run = run_;
  ++run.filesFailed;
  if (prompts_.AskWriteError(path.string()) == WriteErrorAnswer::Abort) {
    run.requests.stop = 1;
    run.requests.skip = 0;
  } else {
    run.requests.skip = 1;
    run.requests.stop = 0;
  }
}

void FileSaver::SaveFile(DestinationNamer& namer, const fs::path& folder, const CatalogueEntry& file) {
  SavingRun& run = run_;
  const SavingOptions& options = options_;
  const std::string_view onDisk = catalogue_.Name(file);
  if (!PassesDeletedFilter(options, file.typeCode == kDeletedTypeCode) ||
      !PassesDateWindow(options, file.modificationTime) || !PassesExtensions(options, std::string(onDisk)))
    return;

  run.requests.skip = 0;
  ++run.filesSaved;
  NameChoice choice = namer.Choose(folder, onDisk);
  progress_.OnFileStarted(run, folder, choice.name);

  fs::path path = folder / choice.name;
  // Most files are new: made here without looking first, and only a name that is taken
  // leads to the replace question; a name the destination refuses is tried again safer.
  int fd = CreateNew(path);
  int error = errno;
  while (fd < 0 && NameRefused(error) && namer.Safer(folder, onDisk, choice)) {
    path = folder / choice.name;
    fd = CreateNew(path);
    error = errno;
  }
  if (fd >= 0 || error == EEXIST) namer.Written(folder, onDisk, choice);
  if (fd < 0 && error == EEXIST) {
    if (!MayReplace(path)) {
      ++run.filesKeptExisting;
      return;
    }
    fd = CreateForWriting(path);
  }
  if (fd < 0) {
    ReportWriteError(path);
    return;
  }
  RemoveOnUnwind unfinished(path.c_str(), fd);
  const ReadsForFile reading(path.string());  // a bad sector on the way names the file
  const FileBody body = bodies_.Collect(file.objectId, file.parentId);
  std::uint64_t reported = 0;
  BodyWriteHooks hooks;
  const StopToken stop(run.requests);
  hooks.keepGoing = [stop] { return !stop.Requested() && !stop.SkipRequested(); };
  hooks.progress = [&](std::uint64_t reached) {
    run.bytesWritten += reached - reported;
    reported = reached;
    progress_.OnFileProgress(run, reached, file.size);
  };
  const BodyWriteResult result = writer_.Write(fd, body, file.size, hooks);
  if (result.writeError == 0) StampTime(fd, file.modificationTime);
  const bool closed = ::close(fd) == 0;
  unfinished.Closed();
  if (result.writeError != 0 || !closed) {
    // A file the destination could not take whole is not left to pass for a saved one.
    ::unlink(path.c_str());
    ReportWriteError(path);
    return;
  }
  if (result.interrupted && stop.Abandoned()) {
    // The program is closing: no file is left behind shorter than it should be.
    ::unlink(path.c_str());
    return;
  }
  if (result.interrupted || result.short_)
    run.shortFiles.push_back(path.string());
  else if (!result.damaged)
    ++run.filesWritten;
  if (result.damaged) {
    run.damagedFiles.push_back(path.string());
    run.damageReasons.emplace_back(DamageReason(result));
  }
}

bool WriteFileForViewing(const PartitionSource& partition, const Catalogue& catalogue, BodySource source,
                         const CatalogueEntry& file, const fs::path& path) {
  const int fd = CreateForWriting(path);
  if (fd < 0) return false;
  RemoveOnUnwind unfinished(path.c_str(), fd);
  const ReadsForFile reading(path.string());
  BodyCollector bodies(partition, catalogue, source);
  FileBodyWriter writer(bodies.Blocks());
  writer.Write(fd, bodies.Collect(file.objectId, file.parentId), file.size);
  ::close(fd);
  unfinished.Closed();
  return true;
}

}  // namespace vantrel
