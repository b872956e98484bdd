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
      return Stopped() ? FinishStopped() : Finish();
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
  bool Stopped() const { return raw_.stopRequested.load(); }

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
                                 writer_.WriteWhole(file, run_.sequence, held);
                               },
                           .notSized = [this](WholeFileFormat, std::uint64_t) { ++raw_.report.notSized; },
                           .goOn =
                               [this](std::uint64_t next) {
                                 run_.nextSector = next;
                                 if (Stopped()) return false;
                                 progress_.OnSearching(next);
                                 return !ShowProgress();
                               }});
    // The files written go through to the disk together.
    const int folder = ::open(job_.destination.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
      ::syncfs(folder);
      ::close(folder);
    }
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
  std::vector<HeaderHit> headers_;
  std::vector<MarkerHit> markers_;
  bool markersFound_ = false;
};

}  // namespace

void CarveRange(const RawRecoveryJob& job, RawRecoveryState& raw, RawRecoveryProgress& progress) {
  RawRecoveryWorker(job, raw, progress).Run();
}

}  // namespace vantrel
