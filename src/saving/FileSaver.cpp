#include "saving/FileSaver.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "base/RemoveOnUnwind.h"
#include "disk/BadSectorPrompt.h"
#include "saving/FileBodyWriter.h"
#include "saving/SmallBody.h"

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

bool IsSpecial(EntryKind kind) { return kind == EntryKind::Fifo || kind == EntryKind::Socket || IsDeviceKind(kind); }

mode_t TypeBitsOf(EntryKind kind) {
  switch (kind) {
    case EntryKind::Fifo: return S_IFIFO;
    case EntryKind::Socket: return S_IFSOCK;
    case EntryKind::CharDevice: return S_IFCHR;
    case EntryKind::BlockDevice: return S_IFBLK;
    default: return S_IFREG;
  }
}

std::uint64_t ObjectKey(const CatalogueEntry& entry) { return (std::uint64_t{entry.parentId} << 32) | entry.objectId; }

}  // namespace

std::int64_t SecondsNow() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

FileSaver::FileSaver(const PartitionSource& partition, const Catalogue& catalogue, BodySource source,
                     const SavingOptions& options, SavePrompts& prompts, SaveProgress& progress, SavingRun& run)
    : catalogue_(catalogue),
      bodies_(partition, catalogue, source),
      writer_(bodies_.Blocks()),
      keeper_(options.preserve, run.notKept),
      attributeFiles_(options.preserve.Has(Kept::Xattr) ? AttributeFiles(catalogue, LayOutFolders(catalogue))
                                                        : AttributeFiles()),
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
  const EntryKind kind = file.Kind();
  const PreserveSet& preserve = options.preserve;
  if (kind == EntryKind::Symlink && preserve.Has(Kept::Links)) {
    // Made after every file, so that nothing of this run is written through it.
    namer.Written(folder, onDisk, choice);
    pendingLinks_.push_back({path, &file});
    return;
  }
  const bool linked = preserve.Has(Kept::Links) && file.details.linkCount > 1 && kind != EntryKind::Folder;
  if (linked) {
    bool done = false;
    if (LinkToFirstName(path, file, done)) {
      namer.Written(folder, onDisk, choice);
      return;
    }
    if (done) return;
  }
  if (IsSpecial(kind) && preserve.Has(Kept::Special)) {
    bool done = false;
    if (MakeSpecial(path, file, done)) {
      namer.Written(folder, onDisk, choice);
      if (linked) firstNames_.emplace(ObjectKey(file), path);
      return;
    }
    if (done) return;
  }
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
  WriteRegular(path, fd, file);
  if (linked && fs::exists(fs::symlink_status(path))) firstNames_.emplace(ObjectKey(file), path);
}

void FileSaver::WriteRegular(const fs::path& path, int fd, const CatalogueEntry& file) {
  SavingRun& run = run_;
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
  if (result.writeError == 0) {
    const auto attributes = AttributesOf(file);
    keeper_.Apply(fd, path, file, attributes ? &*attributes : nullptr);
  }
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

std::optional<EntryAttributes> FileSaver::AttributesOf(const CatalogueEntry& entry) {
  if (!options_.preserve.Has(Kept::Xattr) || attributeFiles_.Of(entry).empty()) return std::nullopt;
  return ReadEntryAttributes(bodies_, catalogue_, attributeFiles_, entry);
}

bool FileSaver::Replaceable(const fs::path& path) {
  if (!MayReplace(path)) {
    ++run_.filesKeptExisting;
    return false;
  }
  std::error_code error;
  if (!fs::is_directory(fs::symlink_status(path, error))) fs::remove(path, error);
  return true;
}

bool FileSaver::MakeReplacing(const fs::path& path, const std::function<int()>& make, bool& done) {
  if (make() == 0) return true;
  if (errno != EEXIST) return false;
  if (!Replaceable(path)) {
    done = true;
    return false;
  }
  return make() == 0;
}

bool FileSaver::LinkToFirstName(const fs::path& path, const CatalogueEntry& file, bool& done) {
  const auto first = firstNames_.find(ObjectKey(file));
  if (first == firstNames_.end()) return false;
  // link() makes the new name itself and follows no link at either path.
  if (!MakeReplacing(
          path, [&] { return ::link(first->second.c_str(), path.c_str()); }, done)) {
    if (!done) ++run_.notKept.links;
    return false;
  }
  ++run_.filesWritten;
  return true;
}

bool FileSaver::MakeSpecial(const fs::path& path, const CatalogueEntry& file, bool& done) {
  const auto rdev = static_cast<dev_t>(
      IsDeviceKind(file.Kind()) ? makedev(DeviceMajor(file.details.rdev), DeviceMinor(file.details.rdev)) : 0);
  const mode_t type = TypeBitsOf(file.Kind());
  if (!MakeReplacing(
          path, [&] { return ::mknod(path.c_str(), type | 0600, rdev); }, done)) {
    if (!done) ++run_.notKept.special;
    return false;
  }
  const auto attributes = AttributesOf(file);
  keeper_.Apply(-1, path, file, attributes ? &*attributes : nullptr);
  ++run_.filesWritten;
  return true;
}

void FileSaver::MakePendingLinks() {
  // Links reached before a stop are made too: they are as saved as the files before them.
  for (const PendingLink& pending : pendingLinks_) {
    const CatalogueEntry& link = *pending.link;
    const std::optional<std::string> target = ReadLinkTarget(bodies_, link);
    if (!target) {
      ReportWriteError(pending.path);
      continue;
    }
    bool kept = false;
    if (MakeReplacing(
            pending.path, [&] { return ::symlink(target->c_str(), pending.path.c_str()); }, kept)) {
      const auto attributes = AttributesOf(link);
      keeper_.Apply(-1, pending.path, link, attributes ? &*attributes : nullptr);
      ++run_.filesWritten;
      continue;
    }
    if (kept) continue;
    // A destination without symbolic links (FAT, exFAT): the target's text as a file.
    ++run_.notKept.links;
    const int fd = ::open(pending.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
      ReportWriteError(pending.path);
      continue;
    }
    WriteRegular(pending.path, fd, link);
  }
  pendingLinks_.clear();
}

void FileSaver::KeepFolder(const fs::path& path, const CatalogueEntry& folder) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  const auto attributes = AttributesOf(folder);
  keeper_.Apply(fd, path, folder, attributes ? &*attributes : nullptr);
  ::close(fd);
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
