#include "carving/CarveWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "base/RemoveOnUnwind.h"
#include "disk/ReadInRequests.h"

namespace vantrel {

namespace {

// Copying goes in stretches of whole 20-sector chunks, about 1 MiB.
constexpr std::uint32_t kStretchSectors = 102 * kCarveChunkSectors;

bool StartsWith(ByteSpan bytes, std::string_view text) {
  return bytes.size() >= text.size() && std::memcmp(bytes.data(), text.data(), text.size()) == 0;
}

bool WriteAll(int fd, ByteSpan bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

std::string Failure(const char* what, const std::string& path, int error) {
  return std::string(what) + path + " (" + std::strerror(error) + ")";
}

}  // namespace

std::string CarveFileName(RawFileKind kind, std::uint32_t sequence) {
  const RawKindTexts& texts = KindTexts(kind);
  return std::string(texts.namePrefix) + std::to_string(sequence) + std::string(texts.extension);
}

CarveWriter::CarveWriter(const CarveTarget& target, RawRecoveryState& raw, RawRecoveryProgress& progress)
    : target_(target), raw_(raw), progress_(progress), head_(kKindCheckSectors * kSectorSize), chunk_(std::size_t{kStretchSectors} * kSectorSize) {}

RawFileKind CarveWriter::CheckKind(RawFileKind kind) const {
  const auto& checks = RawKindChecks();
  for (const RawKindCheck& check : checks)
    if (StartsWith(head_.Bytes().subspan(check.offset), check.text)) return check.kind;
  return kind;
}

CarveOutcome CarveWriter::Write(std::uint64_t start, std::uint64_t end, RawFileKind kind, std::uint32_t sequence,
                                bool markerFound) {
  if (start > end) return CarveOutcome::NotWanted;
  ReadInRequests(target_.disk.Reader(), target_.disk.Disk(), start, kKindCheckSectors, kKindCheckSectors,
                 head_.Bytes());
  kind = CheckKind(kind);
  if (!target_.kinds[static_cast<std::size_t>(KindIndex(kind))]) return CarveOutcome::NotWanted;

  const CarvePlan plan = PlanSpanCarve(start, end, kind, markerFound);
  const std::string path = (target_.destination / CarveFileName(kind, sequence)).string();
  const CarveOutcome outcome = CopyOut(plan, path);
  if (outcome != CarveOutcome::Written) return outcome;
  Count(kind);
  raw_.report.files.push_back({path, kind, sequence, start, end, plan.fileBytes, false});
  return outcome;
}

CarveOutcome CarveWriter::WriteWhole(const WholeFile& file, std::uint32_t sequence, ByteSpan held) {
  if (!target_.kinds[static_cast<std::size_t>(KindIndex(file.kind))]) return CarveOutcome::NotWanted;
  const std::string path = (target_.destination / CarveFileName(file.kind, sequence)).string();
  const CarvePlan plan = PlanExactCarve(file.startSector, file.bytes);
  const CarveOutcome outcome = CopyOut(plan, path, held.first(std::min<std::size_t>(held.size(), file.bytes)));
  if (outcome != CarveOutcome::Written) return outcome;
  Count(file.kind);
  const std::uint64_t lastSector = file.startSector + (file.bytes + kSectorSize - 1) / kSectorSize - 1;
  raw_.report.files.push_back({path, file.kind, sequence, file.startSector, lastSector, file.bytes, true});
  return outcome;
}

CarveOutcome CarveWriter::CopyOut(const CarvePlan& plan, const std::string& path, ByteSpan held) {
  RawRecoveryReport& report = raw_.report;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) {
    report.failures.push_back(Failure("Unable to Create File ", path, errno));
    progress_.OnFailure(report.failures.back());
    return CarveOutcome::Failed;
  }
  RemoveOnUnwind unfinished(path.c_str(), fd);
  // What is held already goes out as it is; the copy reads the rest, whole sectors on.
  bool ok = WriteAll(fd, held);
  std::uint64_t written = held.size();
  std::uint64_t skip = held.size() / kSectorSize;
  for (const SectorRun& whole : plan.runs) {
    const std::uint64_t skipped = std::min(skip, whole.count);
    skip -= skipped;
    const SectorRun run{whole.first + skipped, whole.count - skipped};
    for (std::uint64_t done = 0; ok && done < run.count && written < plan.fileBytes; done += kStretchSectors) {
      if (StopToken(raw_.requests).Requested()) {
        // A file cut short by Stop would pass for a recovered one: it goes, as when the
        // program closes, and the report names it.
        ::close(fd);
        unfinished.Closed();
        ::unlink(path.c_str());
        report.removedFile = path;
        return CarveOutcome::Stopped;
      }
      const auto sectors = static_cast<std::uint32_t>(std::min<std::uint64_t>(kStretchSectors, run.count - done));
      ReadInRequests(target_.disk.Reader(), target_.disk.Disk(), run.first + done, sectors, kCarveChunkSectors,
                     chunk_.Bytes());
      const auto bytes = static_cast<std::size_t>(std::min<std::uint64_t>(sectors * kSectorSize, plan.fileBytes - written));
      ok = WriteAll(fd, chunk_.Bytes().first(bytes));
      written += bytes;
    }
  }
  if (ok && written < plan.fileBytes) {
    std::fill(chunk_.Bytes().begin(), chunk_.Bytes().end(), std::byte{0});
    ok = WriteAll(fd, chunk_.Bytes().first(static_cast<std::size_t>(plan.fileBytes - written)));
  }
  // Written through to the disk, so that a recovered file survives what may come next;
  // files carved whole are many: each is sent on its way now, while the scan goes on,
  // and they are waited for together when the run ends.
  if (ok && !target_.exactSizes) ok = ::fdatasync(fd) == 0;
  if (ok && target_.exactSizes) ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
  const int error = errno;
  if (::close(fd) != 0 && ok) ok = false;
  unfinished.Closed();
  if (ok) return CarveOutcome::Written;
  report.failures.push_back(Failure("Unable to Write File ", path, error));
  progress_.OnFailure(report.failures.back());
  return CarveOutcome::Failed;
}

void CarveWriter::Count(RawFileKind kind) {
  RawRecoveryRun& run = raw_.run;
  std::vector<std::string>& rows = raw_.report.resultsRows;
  const int index = KindIndex(kind);
  ++run.counters[index];
  if (!run.firstFileWritten) {
    run.firstFileWritten = true;
    rows.clear();
    for (int k = 0; k < CarvedKindCount(target_.exactSizes); ++k) {
      run.resultsRow[k] = -1;
      if (!target_.kinds[static_cast<std::size_t>(k)]) continue;
      run.resultsRow[k] = static_cast<int>(rows.size());
      rows.push_back(std::string(KindTexts(static_cast<RawFileKind>(k)).resultsRow) + "0");
    }
    progress_.OnResultsRows(rows);
  }
  const std::string text = std::string(KindTexts(kind).resultsRow) + std::to_string(run.counters[index]);
  const auto row = static_cast<std::size_t>(run.resultsRow[index]);
  if (row < rows.size()) rows[row] = text;
  progress_.OnResultRow(row, text);
}

}  // namespace vantrel
