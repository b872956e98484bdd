#include "carving/RawRecovery.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "disk/ReadInRequests.h"
#include "carving/EndSearch.h"
#include "carving/QuietOffsetReader.h"
#include "carving/WindowReader.h"
#include "carving/WholeFileScan.h"
#include "carving/WindowScan.h"

namespace vantrel {

namespace {

class RawRecoveryWorker {
 public:
  RawRecoveryWorker(const RawRecoveryJob& job, RawRecoveryState& raw, RawRecoveryProgress& progress)
      : job_(job),
        raw_(raw),
        run_(raw.run),
        progress_(progress),
        target_{job.disk, job.destination, job.kinds, raw.exactSizes,
                std::max(job.diskSectors, job.endSector) * kSectorSize},
        windows_(job.disk.Reader(), job.disk.Disk()),
        writer_(target_, raw, progress) {}

  void Run() {
    run_ = RawRecoveryRun{};
    raw_.report = RawRecoveryReport{};
    run_.nextSector = job_.startSector;
    run_.rangeEnd = job_.endSector;
    if (raw_.exactSizes) {
      CarveWholeFiles();
      // Written whole, the files go through to the disk even when the run was stopped.
      FlushWholeFiles();
      if (Stopped()) return FinishStopped();
      progress_.OnRangeDone();
      run_.counters = {};
      return Finish();
    }
    while (run_.nextSector < run_.rangeEnd) {
      if (Stopped()) return FinishStopped();
      progress_.OnSearching(run_.nextSector);
      ReadWindow();
      ProcessWindow();
      if (!Stopped() && run_.pending && run_.nextSector >= run_.rangeEnd) {
        // A carve still open when the range is done ends with the range.
        run_.pending = false;
        Carve(run_.pendingStart, run_.rangeEnd - 1, run_.pendingHeaderKind, false);
      }
      if (Stopped()) return FinishStopped();
      if (ShowProgress()) break;
    }
    Finish();
  }

 private:
  bool Stopped() const { return StopToken(raw_.requests).Requested(); }

  // Files carved whole: every header sized by its file's own structures (WholeFileScan).
  void CarveWholeFiles() {
    const DiskReader disk = job_.disk;
    WholeFileScanInput input;
    input.readBlock = [disk](std::uint64_t first, std::uint32_t count, MutableByteSpan buffer) {
      return ReadInRequests(disk.Reader(), disk.Disk(), first, count, kCarveChunkSectors, buffer);
    };
    input.readQuietly = QuietOffsetReader(disk.Reader(), disk.Disk());
    input.firstSector = run_.nextSector;
    input.endSector = run_.rangeEnd;
    input.diskBytes = target_.diskBytes;
    input.textCap = raw_.textDocumentCap;
    progress_.OnSearching(run_.nextSector);
    ScanWholeFiles(input, {.found =
                               [this](const WholeFile& file, ByteSpan held) {
                                 ++run_.sequence;
                                 raw_.report.carves = run_.sequence;
                                 if (writer_.WriteWhole(file, run_.sequence, held) == CarveOutcome::Written)
                                   writtenBytes_ += file.bytes;
                               },
                           .notSized = [this](WholeFileFormat, std::uint64_t) { ++raw_.report.notSized; },
                           .goOn =
                               [this](std::uint64_t next) {
                                 run_.nextSector = next;
                                 if (Stopped()) return false;
                                 progress_.OnSearching(next);
                                 ShowWholeFilesPercent();
                                 return next < run_.rangeEnd;
                               }});
  }

  // The files carved whole were sent on their way while the scan went on; here they are
  // waited for, file by file and stretch by stretch, and the wait counts in the progress.
  void FlushWholeFiles() {
    if (raw_.report.files.empty()) return;
    progress_.OnWritingToDisk();
    constexpr std::uint64_t kFlushStretch = std::uint64_t{16} << 20;
    for (const CarvedFile& file : raw_.report.files) {
      const int fd = ::open(file.path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
      for (std::uint64_t at = 0; at < file.bytes; at += kFlushStretch) {
        const std::uint64_t length = std::min(kFlushStretch, file.bytes - at);
        if (fd >= 0)
          ::sync_file_range(fd, static_cast<off64_t>(at), static_cast<off64_t>(length),
                            SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
        flushedBytes_ += length;
        ShowWholeFilesPercent();
      }
      if (fd >= 0) {
        ::fdatasync(fd);  // and what the file system keeps of it
        ::close(fd);
      }
    }
  }

  // Reading the range and writing the files out are one piece of work: the share of both
  // done. A file found adds to what is to be written, which lowers the share: the bar keeps
  // the highest share reached, so that it never goes back.
  void ShowWholeFilesPercent() {
    const std::uint64_t scanned = std::min(run_.nextSector, run_.rangeEnd) - job_.startSector;
    const std::uint64_t work = (run_.rangeEnd - job_.startSector) * kSectorSize + writtenBytes_;
    const std::uint64_t done = scanned * kSectorSize + flushedBytes_;
    const int percent = static_cast<int>(std::min<std::uint64_t>(done * 100 / std::max<std::uint64_t>(work, 1), 100));
    if (percent <= run_.lastPercent) return;
    run_.lastPercent = percent;
    progress_.OnPercent(percent);
  }

  void ReadWindow() {
    run_.windowStart = run_.nextSector;
    run_.nextSector += kWindowSectors;
    const auto next = run_.nextSector < run_.rangeEnd ? std::optional(run_.nextSector) : std::nullopt;
    windowBytes_ = windows_.Read(run_.windowStart, next);
    headers_ = FindHeaders(windowBytes_, run_.windowStart, raw_.exactSizes);
    markersFound_ = false;
  }

  const std::vector<MarkerHit>& Markers() {
    if (!markersFound_) FindEndMarkers(windowBytes_, markers_);
    markersFound_ = true;
    return markers_;
  }

  std::optional<CarveEnd> SearchEndFrom(std::uint64_t start, std::size_t current, bool pending) {
    const auto found = SearchEnd({Markers(), run_.windowStart, headers_, start, current, pending, run_.previousEnd});
    if (found) raw_.lastKind = SignatureTable()[found->record].kind;
    return found;
  }

  void ProcessWindow() {
    if (run_.pending) return ProcessPendingCarve();
    // A window without headers is not searched for ends: an end found there could only
    // move the previous end, which no later window looks back to.
    for (std::size_t k = 0; k < headers_.size() && !Stopped(); ++k) {
      const HeaderHit& header = headers_[k];
      if (const auto end = SearchEndFrom(header.sector, k, false)) {
        run_.previousEnd = end->sector;
        Carve(header.sector, end->sector, KindOfCarve(header.kind, end->record), true);
      } else if (k + 1 < headers_.size()) {
        // No end before the next header: the file cannot reach beyond it.
        run_.previousEnd = headers_[k + 1].sector - 1;
        Carve(header.sector, run_.previousEnd, header.kind, false);
      } else {
        run_.pending = true;
        run_.pendingStart = header.sector;
        run_.pendingHeaderKind = header.kind;
      }
    }
  }

  void ProcessPendingCarve() {
    if (const auto end = SearchEndFrom(run_.pendingStart, 0, true)) {
      Carve(run_.pendingStart, end->sector, KindOfCarve(run_.pendingHeaderKind, end->record), true);
    } else if (!headers_.empty()) {
      // No end here, but a new file begins: the pending one stops before it.
      Carve(run_.pendingStart, headers_.front().sector - 1, run_.pendingHeaderKind, false);
    } else {
      return;
    }
    // The same window is read again, as one without a pending carve.
    run_.pending = false;
    run_.previousEnd = 0;
    run_.nextSector = run_.windowStart;
  }

  // markerFound: an end marker ended the carve, rather than the next header or the range.
  void Carve(std::uint64_t start, std::uint64_t end, RawFileKind kind, bool markerFound) {
    ++run_.sequence;
    raw_.report.carves = run_.sequence;
    writer_.Write(start, end, kind, run_.sequence, markerFound);
  }

  // True when the range is done.
  bool ShowProgress() {
    const std::uint64_t percent = run_.nextSector * 100 / run_.rangeEnd;
    if (percent > static_cast<std::uint64_t>(run_.lastPercent)) {
      const int shown = static_cast<int>(std::min<std::uint64_t>(percent, 100));
      progress_.OnPercent(shown);
      run_.lastPercent = shown;
    }
    if (percent < 100) return false;
    progress_.OnRangeDone();
    run_.counters = {};
    run_.pending = false;
    return true;
  }

  void Finish() {
    run_.previousEnd = 0;
    run_.firstFileWritten = false;
  }

  void FinishStopped() {
    raw_.report.stopped = true;
    run_.counters = {};
    run_.pending = false;
    Finish();
  }

  const RawRecoveryJob& job_;
  RawRecoveryState& raw_;
  RawRecoveryRun& run_;
  RawRecoveryProgress& progress_;
  CarveTarget target_;
  WindowReader windows_;
  ByteSpan windowBytes_;
  CarveWriter writer_;
  std::uint64_t writtenBytes_ = 0;  // files carved whole so far
  std::uint64_t flushedBytes_ = 0;  // of those, waited for on the disk
  std::vector<HeaderHit> headers_;
  std::vector<MarkerHit> markers_;
  bool markersFound_ = false;
};

}  // namespace

void CarveRange(const RawRecoveryJob& job, RawRecoveryState& raw, RawRecoveryProgress& progress) {
  RawRecoveryWorker(job, raw, progress).Run();
}

}  // namespace vantrel
