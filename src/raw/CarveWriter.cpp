#include "raw/CarveWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "base/RemoveOnUnwind.h"
#include "disk/ReadInRequests.h"
#include "raw/CompoundFileSize.h"
#include "raw/QuietByteReader.h"
#include "raw/ZipArchiveSize.h"

namespace vantrel {

namespace {

// Copying goes in stretches of whole 20-sector chunks, about 1 MiB.
constexpr std::uint32_t kStretchSectors = 102 * kCarveChunkSectors;
constexpr std::string_view kZipLocalHeader = "PK\x03\x04";

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

CarvePlan CarveWriter::Plan(std::uint64_t start, std::uint64_t end, RawFileKind kind, bool markerFound,
                            bool& sizedByStructure) {
  sizedByStructure = false;
  if (!target_.exactSizes) return PlanSpanCarve(start, end, kind, markerFound);
  // Structures are read without prompting: where they cannot be read, the carve keeps
  // the length the scan gave it, and its copy meets the bad sectors as usual.
  const ByteReader read = QuietByteReader(target_.disk.Reader(), target_.disk.Disk());
  const std::uint64_t startByte = start * kSectorSize;
  const std::uint64_t diskBytes = target_.diskBytes;
  if (startByte >= diskBytes) return PlanSpanCarve(start, end, kind, markerFound);
  const std::uint64_t limit = diskBytes - startByte;
  std::optional<std::uint64_t> bytes;
  if (StartsWith(head_.Bytes(), SignatureTable()[0].header)) {
    bytes = CompoundFileSize(read, startByte, limit);
  } else if (StartsWith(head_.Bytes(), kZipLocalHeader)) {
    // The archive's end record lies in the sectors the scan gave it; one that begins in
    // its end sector may run into the next.
    bytes = ZipArchiveSize(read, startByte, (end + 1) * kSectorSize, limit);
  }
  if (!bytes) return PlanSpanCarve(start, end, kind, markerFound);
  sizedByStructure = true;
  return PlanExactCarve(start, *bytes);
}

CarveOutcome CarveWriter::Write(std::uint64_t start, std::uint64_t end, RawFileKind kind, std::uint32_t sequence,
                                bool markerFound) {
  if (start > end) return CarveOutcome::NotWanted;
  ReadInRequests(target_.disk.Reader(), target_.disk.Disk(), start, kKindCheckSectors, kKindCheckSectors,
                 head_.Bytes());
  kind = CheckKind(kind);
  if (!target_.kinds[static_cast<std::size_t>(KindIndex(kind))]) return CarveOutcome::NotWanted;

  bool sizedByStructure = false;
  const CarvePlan plan = Plan(start, end, kind, markerFound, sizedByStructure);
  const std::string path = (target_.destination / CarveFileName(kind, sequence)).string();
  const CarveOutcome outcome = CopyOut(plan, path);
  if (outcome != CarveOutcome::Written) return outcome;
  Count(kind);
  raw_.report.files.push_back({path, kind, sequence, start, end, plan.fileBytes, sizedByStructure});
  return outcome;
}

CarveOutcome CarveWriter::WriteWhole(const WholeFile& file, std::uint32_t sequence) {
  if (!target_.kinds[static_cast<std::size_t>(KindIndex(file.kind))]) return CarveOutcome::NotWanted;
  const std::string path = (target_.destination / CarveFileName(file.kind, sequence)).string();
  const CarvePlan plan = PlanExactCarve(file.startSector, file.bytes);
  const CarveOutcome outcome = CopyOut(plan, path);
  if (outcome != CarveOutcome::Written) return outcome;
  Count(file.kind);
  const std::uint64_t lastSector = file.startSector + (file.bytes + kSectorSize - 1) / kSectorSize - 1;
  raw_.report.files.push_back({path, file.kind, sequence, file.startSector, lastSector, file.bytes, true});
  return outcome;
}

CarveOutcome CarveWriter::CopyOut(const CarvePlan& plan, const std::string& path) {
  RawRecoveryReport& report = raw_.report;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) {
    report.failures.push_back(Failure("Unable to Create File ", path, errno));
    progress_.OnFailure(report.failures.back());
    return CarveOutcome::Failed;
  }
  RemoveOnUnwind unfinished(path.c_str(), fd);
  std::uint64_t written = 0;
  bool ok = true;
  for (const SectorRun& run : plan.runs) {
    for (std::uint64_t done = 0; ok && done < run.count && written < plan.fileBytes; done += kStretchSectors) {
      if (raw_.stopRequested.load()) {
        ::close(fd);  // the file stays as far as it got, unless the program is closing
        unfinished.Closed();
        if (raw_.abandonRequested.load()) ::unlink(path.c_str());
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
  // files carved whole are many and go through together when the run ends.
  if (ok && !target_.exactSizes) ok = ::fdatasync(fd) == 0;
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
