#include "recovery/DiskImage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <filesystem>
#include <fstream>

#include "imaging/DdrescueMapfile.h"
#include "recovery/CarveDisk.h"
#include "stacks/PartitionSlices.h"

namespace vantrel {

namespace {

// The disk as the partition tables are read from it: sector reads without a prompt.
class ReaderAsSource : public DiskSource {
 public:
  explicit ReaderAsSource(const DiskReader& disk) : disk_(disk) {}
  ReadOutcome Read(std::uint64_t offset, std::span<std::byte> buffer) override {
    if (offset % kSectorSize != 0 || buffer.size() % kSectorSize != 0) return ReadOutcome::Failed;
    return disk_.ReadQuietly(offset / kSectorSize, buffer);
  }
  std::optional<std::uint64_t> Size() override {
    const auto sectors = disk_.SectorCount();
    return sectors ? std::optional(*sectors * kSectorSize) : std::nullopt;
  }
  std::string OpenError() override { return {}; }

 private:
  DiskReader disk_;
};

// True when both paths name the same file or the same device.
bool SameFile(const std::string& a, const std::string& b) {
  struct stat first {};
  struct stat second {};
  if (::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0) return false;
  if (S_ISBLK(first.st_mode) && S_ISBLK(second.st_mode)) return first.st_rdev == second.st_rdev;
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool OnTheDisk(const DiskChoice& disk, const std::string& out) {
  if (SameFile(out, disk.path)) return true;
  for (const std::string& path : disk.readsFrom)
    if (SameFile(out, path)) return true;
  const std::filesystem::path folder = std::filesystem::absolute(out).parent_path();
  return CheckDiskAndDestination(disk, folder.string()).outcome == StepOutcome::Refused;
}

// The sectors the request names: [first, first + count).
std::optional<std::pair<std::uint64_t, std::uint64_t>> RangeOf(const DiskChoice& disk, const DiskImageRequest& request,
                                                               StepResult& failure) {
  const std::uint64_t sectors = disk.disk.SectorCount().value_or(disk.sectors);
  if (request.partition) {
    ReaderAsSource source(disk.disk);
    for (const PartitionSpan& span : ListPartitionSpans(source))
      if (span.number == *request.partition) return std::pair(span.startSector, span.sectors);
    failure = {StepOutcome::NotFound,
               "Disk" + std::to_string(disk.index) + " has no partition " + std::to_string(*request.partition) +
                   " in its partition table",
               {}};
    return std::nullopt;
  }
  const std::uint64_t start = request.start.value_or(0);
  const std::uint64_t end = request.end.value_or(sectors);
  if (start >= end) {
    failure = {StepOutcome::Refused, kStartNotBeforeEnd, {}};
    return std::nullopt;
  }
  if (end > sectors) {
    failure = {StepOutcome::Refused,
               "The range ends at sector " + std::to_string(end) + ", past the disk's end (" + std::to_string(sectors) +
                   " sectors)",
               {}};
    return std::nullopt;
  }
  return std::pair(start, end - start);
}

// Opens the image file; sparse when it is a regular file (emptied on opening).
std::optional<ImageOutput> OpenOutput(const std::string& out, std::string& error) {
  if (out == kStandardOutput) return ImageOutput{STDOUT_FILENO, false};
  const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    error = std::generic_category().message(errno);
    return std::nullopt;
  }
  struct stat info {};
  return ImageOutput{fd, ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)};
}

// Writes the mapfile beside its place, then puts it there.
bool WriteMapfile(const std::string& path, const std::string& text) {
  const std::string partial = path + ".partial";
  {
    std::ofstream file(partial, std::ios::binary | std::ios::trunc);
    file << text;
    if (!file.flush()) return false;
  }
  return std::rename(partial.c_str(), path.c_str()) == 0;
}

}  // namespace

StepResult SaveDiskImage(const DiskChoice& disk, const DiskImageRequest& request, ImageProgress& progress,
                         const StopToken& stop, RecoveryMessages& messages, DiskImageRun& run) {
  const bool toFile = request.out != kStandardOutput;
  if ((toFile && OnTheDisk(disk, request.out)) || (!request.mapfile.empty() && OnTheDisk(disk, request.mapfile)))
    return {StepOutcome::Refused,
            "The image would be written on the disk being read; choose a file on another disk",
            {}};
  if (!disk.problem.empty()) return {StepOutcome::DiskUnreadable, disk.problem, {}};
  StepResult failure;
  const auto range = RangeOf(disk, request, failure);
  if (!range) return failure;
  std::string error;
  const auto output = OpenOutput(request.out, error);
  if (!output) return {StepOutcome::Refused, "The image file " + request.out + " cannot be written: " + error, {}};

  run.firstSector = range->first;
  run.report = CopyDiskImage(disk.disk, range->first, range->second, *output, &progress, stop);
  ImageReport& report = run.report;
  if (toFile && ::close(output->fd) != 0 && report.writeError.empty())
    report.writeError = std::generic_category().message(errno);
  if (!request.mapfile.empty() && !WriteMapfile(request.mapfile, DdrescueMapfileText(report, request.commandLine)))
    messages.Remark("the mapfile " + request.mapfile + " could not be written");
  if (!report.writeError.empty())
    return {StepOutcome::FilesFailed, "The image could not be written whole: " + report.writeError, {}};
  if (report.stopped) {
    if (toFile && request.mapfile.empty()) {
      std::error_code ignored;
      std::filesystem::remove(request.out, ignored);
      messages.Remark("the unfinished image " + request.out + " was removed");
    }
    return {StepOutcome::Stopped, "Stopped", {}};
  }
  if (!report.unread.empty()) {
    std::uint64_t bytes = 0;
    for (const ImageStretch& stretch : report.unread) bytes += stretch.length;
    return {StepOutcome::FilesFailed,
            std::to_string(bytes / kSectorSize) + " sector(s) could not be read and are zeros in the image",
            {}};
  }
  return {};
}

}  // namespace vantrel
